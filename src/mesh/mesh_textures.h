// The one step that turns a loaded show's images into GL textures: run once every scene
// is read, before the first scene is activated, with a GL context current.
#pragma once

#include "mesh/mesh_library.h"

namespace tessarine::mesh {

// Makes the texture of every mesh in `meshes` that has none yet, in load order, each with
// the priority its texture holds (the load priority, or what an activation set since).
// Throws common::Error at the first image GL refuses; the textures made before it stay
// with their meshes.
void makeTextures(MeshLibrary& meshes);

}  // namespace tessarine::mesh
