// Fuzz target for the LWO2 object reader: the bytes are read as an object's.
#include <cmath>
#include <span>

#include "common/error.h"
#include "fuzz_target.h"
#include "mesh/lwo_reader.h"

namespace {

using namespace tessarine;

// Only the shape of what was read is checked, never its values: a mesh that loads must
// be safe to draw, index for index.
void checkGeometry(const mesh::Geometry& geometry) {
  if (geometry.points.size() > mesh::kMaxPoints) fuzz::failInvariant("more points than an index can name");
  if (geometry.uvs.size() != geometry.points.size()) fuzz::failInvariant("not one texture coordinate per point");
  std::uint64_t nextIndex = 0;
  for (const mesh::Polygon& polygon : geometry.polygons) {
    if (polygon.vertexCount < 2) fuzz::failInvariant("a face with fewer than 2 points");
    if (polygon.firstIndex != nextIndex) fuzz::failInvariant("polygons do not follow each other in the index array");
    nextIndex += polygon.vertexCount;
    for (std::uint16_t index : geometry.indicesOf(polygon)) {
      if (index >= geometry.points.size()) fuzz::failInvariant("a polygon names a point the mesh does not have");
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
  try {
    checkGeometry(mesh::readLwo2(std::as_bytes(std::span(data, size)), "object.lwo"));
  } catch (const common::Error&) {
    // A clear refusal is what a malformed object should get.
  }
  return 0;
}
