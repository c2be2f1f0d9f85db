// A mesh read from its object file and the image beside it: the thin step in front of
// the LWO2 and TGA readers, which read the files' bytes.
#include <utility>

#include "common/file_bytes.h"
#include "common/path.h"
#include "mesh/lwo_reader.h"
#include "mesh/mesh.h"

namespace tessarine::mesh {
namespace {

constexpr float kLoadPriority = 0.5f;

}  // namespace

Mesh::Mesh(std::string name, std::string_view directory, const TextureMaker& makeTexture) : name_(std::move(name)) {
  const std::string path = common::joinPath(directory, name_);
  common::FileBytes object = common::readFileBytes(path, "rb");
  identity_ = object.identity;
  geometry_ = readLwo2(object.bytes, path);
  // The texture image lies beside the object; it is not named inside the object file.
  Image image = readTgaFile(common::imagePathFor(directory, name_));
  if (makeTexture) texture_ = makeTexture(image, kLoadPriority);
}

}  // namespace tessarine::mesh
