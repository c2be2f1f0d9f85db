// Turns the "ParentObject" numbers of a read scene into parent links.
#pragma once

#include <string>

#include "scene/scene.h"

namespace tessarine::scene::detail {

// Links every object, light and the camera to the object its parentIndex names. Refuses
// an index past the last object and objects that are their own ancestors, so every
// chain that placement walks ends. `path` names the file in the messages.
void resolveParents(Scene& scene, const std::string& path);

}  // namespace tessarine::scene::detail
