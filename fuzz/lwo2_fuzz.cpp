// Fuzz target for the LWO2 object reader: the bytes become an object file read by Mesh,
// with a valid image beside it so that a well-formed object loads to the end.
#include <cmath>

#include "common/error.h"
#include "fuzz_target.h"
#include "mesh/mesh.h"

namespace {

using namespace tessarine;

// Only the shape of what was read is checked, never its values: a mesh that loads must
// be safe to draw, index for index.
void checkMesh(const mesh::Mesh& mesh) {
  if (mesh.pointCount() > mesh::kMaxPoints) fuzz::failInvariant("more points than an index can name");
  if (mesh.uvs().size() != mesh.pointCount()) fuzz::failInvariant("not one texture coordinate per point");
  std::uint64_t nextIndex = 0;
  for (const mesh::Polygon& polygon : mesh.polygons()) {
    if (polygon.vertexCount < 2) fuzz::failInvariant("a face with fewer than 2 points");
    if (polygon.firstIndex != nextIndex) fuzz::failInvariant("polygons do not follow each other in the index array");
    nextIndex += polygon.vertexCount;
    for (std::uint16_t index : mesh.indicesOf(polygon)) {
      if (index >= mesh.pointCount()) fuzz::failInvariant("a polygon names a point the mesh does not have");
    }
    float squared = 0;
    for (float component : polygon.normal) {
      if (!std::isfinite(component)) fuzz::failInvariant("a face normal that is not finite");
      squared += component * component;
    }
    if (std::fabs(squared - 1.0f) > 1e-3f) fuzz::failInvariant("a face normal that is not of unit length");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool imageWritten = !fuzz::writeScratchFile("object.tga", fuzz::smallImageBytes()).empty();
  (void)imageWritten;
  fuzz::writeScratchFile("object.lwo", {reinterpret_cast<const char*>(data), size});
  try {
    mesh::Mesh mesh("object.lwo", fuzz::scratchDirectory(), fuzz::noTexture);
    checkMesh(mesh);
  } catch (const common::Error&) {
    // A clear refusal is what a malformed object should get.
  }
  return 0;
}
