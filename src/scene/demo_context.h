// What every loader is handed: the data directory, the shared mesh library and the
// window's aspect ratio.
#pragma once

#include <string>
#include <string_view>

#include "mesh/mesh_library.h"

namespace tessarine::scene {

struct DemoContext {
  explicit DemoContext(std::string dataDirectory) : dataDirectory(std::move(dataDirectory)) {}

  // The mesh of the object file `name`: the one already read from the same file (under
  // any spelling of its name), or one read now and appended to the library. Touches no
  // GL: textures are made once the whole show is read (mesh::makeTextures).
  mesh::Mesh& meshNamed(std::string_view name);

  mesh::MeshLibrary meshes;
  // Width over height; written by the window's reshape handler. 4:3 until the first one.
  float aspect = 4.0f / 3.0f;
  std::string dataDirectory;
};

}  // namespace tessarine::scene
