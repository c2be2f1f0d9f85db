// What every scene reader promises of a scene it accepts, checked the same way for the show's
// dialect and LightWave's own: the lights on their GL lights in order, a camera motion, a
// frame rate, a motion for every object; and every motion and envelope evaluated.
#pragma once

#include <cstddef>

#include "fuzz_target.h"
#include "scene/scene.h"

namespace tessarine::fuzz {

namespace detail {

// Evaluation trusts what the readers promise (at least one key, ascending frames); it is run
// at the scene's ends, its middle and past them, so that a broken promise shows as a fault.
template <typename Curve>
void evaluate(const Curve* curve, const scene::Scene& scene) {
  if (curve == nullptr) return;
  for (double seconds : {scene.startTime, scene.endTime, (scene.startTime + scene.endTime) / 2, -1.0, 1e9}) {
    (void)curve->valueAt(seconds);
  }
}

}  // namespace detail

inline void checkSceneInvariants(const scene::Scene& scene) {
  if (scene.lights.size() > scene::kMaxLights) failInvariant("more lights than OpenGL has");
  for (std::size_t i = 0; i < scene.lights.size(); ++i) {
    if (scene.lights[i].glLight != scene::kGlLight0 + i) failInvariant("a light on the wrong GL light");
  }
  if (!scene.camera.motion) failInvariant("a scene without a camera motion");
  if (!(scene.framesPerSecond > 0)) failInvariant("a scene without a frame rate");
  for (const scene::SceneObject& object : scene.objects) {
    if (!object.motion) failInvariant("an object without a motion");
  }
}

inline void evaluateEveryCurve(const scene::Scene& scene) {
  detail::evaluate(scene.camera.motion.get(), scene);
  detail::evaluate(scene.camera.zoomEnvelope.get(), scene);
  for (const scene::SceneObject& object : scene.objects) detail::evaluate(object.motion.get(), scene);
  for (const scene::SceneLight& light : scene.lights) {
    detail::evaluate(&light.motion, scene);
    detail::evaluate(light.intensityEnvelope.get(), scene);
    detail::evaluate(light.coneEnvelope.get(), scene);
  }
  for (const auto* envelope : {scene.ambientIntensityEnvelope.get(), scene.fogMinEnvelope.get(),
                               scene.fogMaxEnvelope.get(), scene.shakeEnvelope.get()}) {
    detail::evaluate(envelope, scene);
  }
}

}  // namespace tessarine::fuzz
