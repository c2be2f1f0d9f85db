// One frame of a scene: camera shake, the enveloped fog and ambient values, the
// projection from the camera's zoom, the lights in place, and every object drawn.
#pragma once

#include "scene/scene.h"

namespace tessarine::render {

// Clears and draws `scene` at `seconds` on the current GL context; the scene must have
// been activated. Rewrites the scene's shake offset and draws three numbers from rand().
// Leaves the modelview matrix selected.
void render(scene::Scene& scene, float seconds);

}  // namespace tessarine::render
