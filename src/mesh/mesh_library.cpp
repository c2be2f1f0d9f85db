// The mesh library: lookup by file identity, and release in reverse load order.
#include "mesh/mesh_library.h"

#include "common/error.h"

namespace tessarine::mesh {

MeshLibrary::~MeshLibrary() {
  // Last loaded first, one at a time: no recursion however many objects the show has.
  while (!meshes_.empty()) meshes_.pop_back();
}

Mesh* MeshLibrary::find(const common::FileIdentity& identity) {
  for (const auto& mesh : meshes_) {
    if (mesh->identity() == identity) return mesh.get();
  }
  return nullptr;
}

Mesh* MeshLibrary::find(std::string_view name) {
  for (const auto& mesh : meshes_) {
    if (mesh->name() == name) return mesh.get();
  }
  return nullptr;
}

Mesh& MeshLibrary::append(std::unique_ptr<Mesh> mesh) {
  if (!mesh) throw common::Error("No mesh to add to the mesh library");
  meshes_.push_back(std::move(mesh));
  return *meshes_.back();
}

}  // namespace tessarine::mesh
