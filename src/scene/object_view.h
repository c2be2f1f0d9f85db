// A scene made around one object, for looking at it: the object turning once about its
// centre, lit from above and in front by one distant light, with the camera framing its
// bounds.
#pragma once

#include <memory>
#include <string>

#include "mesh/mesh.h"
#include "scene/scene.h"

namespace tessarine::scene {

// One full turn takes this long; the scene is one turn, so it loops without a jump.
inline constexpr double kObjectTurnSeconds = 12;

// The view of `mesh` (one of the context's meshes), named `fileName` in messages and overlays.
std::unique_ptr<Scene> makeObjectView(DemoContext& context, mesh::Mesh& mesh, std::string fileName);

}  // namespace tessarine::scene
