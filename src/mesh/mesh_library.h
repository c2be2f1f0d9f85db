// Every mesh loaded by any scene, each object file once (known by its identity, not by
// the spelling of its name), in load order. Scenes refer to meshes without owning them;
// the library releases them last-loaded first.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "mesh/mesh.h"

namespace tessarine::mesh {

class MeshLibrary {
 public:
  MeshLibrary() = default;
  ~MeshLibrary();
  MeshLibrary(const MeshLibrary&) = delete;
  MeshLibrary& operator=(const MeshLibrary&) = delete;

  // The mesh read from the file with this identity, or null.
  Mesh* find(const common::FileIdentity& identity);
  // The first mesh loaded under exactly this name, or null.
  Mesh* find(std::string_view name);
  Mesh& append(std::unique_ptr<Mesh> mesh);

  std::size_t size() const { return meshes_.size(); }
  bool empty() const { return meshes_.empty(); }
  auto begin() const { return meshes_.begin(); }
  auto end() const { return meshes_.end(); }

 private:
  std::vector<std::unique_ptr<Mesh>> meshes_;
};

}  // namespace tessarine::mesh
