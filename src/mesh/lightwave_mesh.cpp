// Loading a LightWave object as a mesh: the object reader, the surface batches and the images,
// gathered into the surface model that the mesh draws.
#include "mesh/lightwave_mesh.h"

#include <string>
#include <utility>

#include "common/content_path.h"
#include "common/error.h"
#include "common/file_bytes.h"
#include "mesh/lightwave_images.h"
#include "mesh/surface_model.h"

namespace tessarine::mesh {

namespace {

std::uint32_t layerIndex(const LightWaveObject& object, std::uint32_t layer, const std::string& path) {
  for (std::size_t i = 0; i < object.layers.size(); ++i) {
    if (static_cast<std::uint64_t>(object.layers[i].number) + 1 == layer) return static_cast<std::uint32_t>(i);
  }
  if (layer >= 1 && layer <= object.layers.size()) return layer - 1;
  throw common::Error(path + " has no layer " + std::to_string(layer));
}

}  // namespace

std::unique_ptr<Mesh> loadLightWaveMesh(const std::string& path, std::span<const std::string> contentFolders,
                                        std::FILE* messages, std::optional<std::uint32_t> layer) {
  const common::FileBytes bytes = common::readFileBytes(path, "rb");
  const LightWaveObject object = readLightWaveObject(bytes.bytes, path);
  std::optional<std::uint32_t> onlyLayer;
  if (layer) onlyLayer = layerIndex(object, *layer, path);
  ObjectImages found = readObjectImages(object, path, common::contentFoldersFor(path, contentFolders));
  if (messages != nullptr) {
    for (const std::string& warning : found.warnings) std::fprintf(messages, "%s\n", warning.c_str());
  }

  SurfaceModel model;
  model.geometry = buildSurfaceGeometry(object, onlyLayer);
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
