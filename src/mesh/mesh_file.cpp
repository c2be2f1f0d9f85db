// A mesh read from its object file and the image beside it: the thin step in front of
// the LWO2 and TGA readers, which read the files' bytes.
#include <utility>

#include "common/file_bytes.h"
#include "common/path.h"
#include "mesh/lwo_reader.h"
#include "mesh/mesh.h"

namespace tessarine::mesh {

Mesh::Mesh(std::string name, Geometry geometry, Image image, common::FileIdentity identity)
    : name_(std::move(name)), identity_(identity), geometry_(std::move(geometry)), image_(std::move(image)) {}

Mesh::Mesh(std::string name, SurfaceModel surfaces, common::FileIdentity identity)
    : name_(std::move(name)), identity_(identity), surfaces_(std::make_unique<SurfaceModel>(std::move(surfaces))) {}

std::unique_ptr<Mesh> loadMesh(std::string name, std::string_view directory) {
  const std::string path = common::joinPath(directory, name);
  common::FileBytes object = common::readFileBytes(path, "rb");
  Geometry geometry = readLwo2(object.bytes, path);
  // The texture image lies beside the object; it is not named inside the object file.
  Image image = readTgaFile(common::imagePathFor(directory, name));
  return std::make_unique<Mesh>(std::move(name), std::move(geometry), std::move(image), object.identity);
}

}  // namespace tessarine::mesh
