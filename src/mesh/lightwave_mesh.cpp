// Loading a LightWave object as a mesh: the object reader, the surface batches and the images,
// gathered into the surface model that the mesh draws.
#include "mesh/lightwave_mesh.h"

#include <utility>

#include "common/file_bytes.h"
#include "mesh/lightwave_images.h"
#include "mesh/surface_model.h"

namespace tessarine::mesh {

std::unique_ptr<Mesh> loadLightWaveMesh(const std::string& path, std::span<const std::string> contentFolders,
                                        std::FILE* messages) {
  const common::FileBytes bytes = common::readFileBytes(path, "rb");
  const LightWaveObject object = readLightWaveObject(bytes.bytes, path);
  ObjectImages found = readObjectImages(object, path, contentFoldersFor(path, contentFolders));
  if (messages != nullptr) {
    for (const std::string& warning : found.warnings) std::fprintf(messages, "%s\n", warning.c_str());
  }

  SurfaceModel model;
  model.geometry = buildSurfaceGeometry(object);
  model.surfaces = object.surfaces;
  for (FoundImage& file : found.files) {
    model.images.push_back({std::move(file.path), std::move(file.decoded.image), {}});
  }
  for (const SurfaceBatch& batch : model.geometry.batches) {
    const Surface* surface = batch.surface < object.surfaces.size() ? &object.surfaces[batch.surface] : nullptr;
    std::uint32_t image = kNoImage;
    if (surface != nullptr && surface->colorMap) {
      if (const auto at = found.fileOfName.find(surface->colorMap->image); at != found.fileOfName.end()) {
        image = static_cast<std::uint32_t>(at->second);
      }
    }
    model.imageOfBatch.push_back(image);
  }
  return std::make_unique<Mesh>(path, std::move(model), bytes.identity);
}

}  // namespace tessarine::mesh
