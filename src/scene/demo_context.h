// What every loader is handed: the data directory, the shared mesh library and the
// window's aspect ratio.
#pragma once

#include <string>
#include <string_view>

#include "mesh/mesh_library.h"
#include "mesh/texture.h"

namespace tessarine::scene {

struct DemoContext {
  explicit DemoContext(std::string dataDirectory, mesh::TextureMaker makeTexture = mesh::makeGlTexture)
      : dataDirectory(std::move(dataDirectory)), makeTexture(std::move(makeTexture)) {}

  // The mesh of the object file `name`: the one already read from the same file (under
  // any spelling of its name), or one read now and appended to the library.
  mesh::Mesh& meshNamed(std::string_view name);

  mesh::MeshLibrary meshes;
  // Width over height; written by the window's reshape handler. 4:3 until the first one.
  float aspect = 4.0f / 3.0f;
  std::string dataDirectory;
  mesh::TextureMaker makeTexture;
};

}  // namespace tessarine::scene
