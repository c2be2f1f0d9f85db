// One frame of a scene: the per-frame values loaded, the projection from the camera's
// zoom, the camera shaken, the lights in place, and every object drawn.
#pragma once

#include "scene/scene.h"

namespace tessarine::render {

// Clears and draws `scene` at `seconds` on the current GL context; the scene must have
// been activated. The picture depends on the scene and `seconds` alone, the camera shake
// included. Leaves the modelview matrix selected.
void render(const scene::Scene& scene, float seconds);

}  // namespace tessarine::render
