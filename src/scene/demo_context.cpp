// The mesh lookup every loader shares: each object file is read once per program,
// whatever spelling of its name a scene uses.
#include "scene/demo_context.h"

#include "common/file_identity.h"
#include "common/path.h"

namespace tessarine::scene {

mesh::Mesh& DemoContext::meshNamed(std::string_view name) {
  // Known by what the joined path leads to, so "ship.lwo" and "./ship.lwo" share one load.
  // A path that leads nowhere goes on to the reader, which says why it cannot open it.
  if (std::optional<common::FileIdentity> identity = common::identityOf(common::joinPath(dataDirectory, name))) {
    if (mesh::Mesh* found = meshes.find(*identity)) return *found;
  }
  return meshes.append(mesh::loadMesh(std::string(name), dataDirectory));
}

}  // namespace tessarine::scene
