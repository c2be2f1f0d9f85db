// The mesh lookup every loader shares: each object file is read once per program.
#include "scene/demo_context.h"

#include <memory>

namespace tessarine::scene {

mesh::Mesh& DemoContext::meshNamed(std::string_view name) {
  if (mesh::Mesh* found = meshes.find(name)) return *found;
  return meshes.append(std::make_unique<mesh::Mesh>(std::string(name), dataDirectory, makeTexture));
}

}  // namespace tessarine::scene
