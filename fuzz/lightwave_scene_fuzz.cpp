// Fuzz target for the LightWave scene reader (LWSC 1 to 5): the bytes are read as a scene as
// LightWave writes it. The reader opens no file, so nothing is placed beside the input. An
// accepted scene must keep the reader's promises, checked here; evaluation runs at the
// scene's ends and far past them.
#include <span>

#include "anim/item_motion.h"
#include "common/error.h"
#include "fuzz_target.h"
#include "scene/lightwave_scene_reader.h"

namespace {

using namespace tessarine;

constexpr float kNearPlane = 1.0f;

template <typename Curve>
void evaluate(const Curve* curve, const scene::Scene& scene) {
  if (curve == nullptr) return;
  for (double seconds : {scene.startTime, scene.endTime, -1.0, 1e9}) (void)curve->valueAt(seconds);
}

// `object` is null exactly when `index` says none, and otherwise the object at that index.
void checkLink(const scene::Scene& scene, std::int32_t index, const scene::SceneObject* object) {
  if (index == scene::kNoParent ? object != nullptr
                                : index < 0 || static_cast<std::size_t>(index) >= scene.objects.size() ||
                                      object != &scene.objects[static_cast<std::size_t>(index)]) {
    fuzz::failInvariant("a parent or target that is not the object its index names");
  }
}

void checkScene(const scene::Scene& scene) {
  if (scene.lights.size() > scene::kMaxLights) fuzz::failInvariant("more lights than OpenGL has");
  if (scene.rule != scene::TransformRule::kLightWave) fuzz::failInvariant("a LightWave scene placed by the show's rule");
  if (!(scene.framesPerSecond > 0)) fuzz::failInvariant("a scene without a frame rate");
  if (!scene.camera.motion) fuzz::failInvariant("a scene without a camera motion");
  checkLink(scene, scene.camera.parentIndex, scene.camera.parent);
  checkLink(scene, scene.camera.targetIndex, scene.camera.target);
  for (const scene::SceneObject& object : scene.objects) {
    if (!object.motion) fuzz::failInvariant("an object without a motion");
    checkLink(scene, object.parentIndex, object.parent);
    checkLink(scene, object.targetIndex, object.target);
    std::size_t steps = 0;
    for (const scene::SceneObject* at = &object; at != nullptr; at = at->parent) {
      if (++steps > scene.objects.size()) fuzz::failInvariant("a parent chain that never ends");
    }
    evaluate(object.motion.get(), scene);
  }
  for (std::size_t i = 0; i < scene.lights.size(); ++i) {
    const scene::SceneLight& light = scene.lights[i];
    if (light.glLight != scene::kGlLight0 + i) fuzz::failInvariant("a light on the wrong GL light");
    checkLink(scene, light.parentIndex, light.parent);
    checkLink(scene, light.targetIndex, light.target);
    evaluate(&light.motion, scene);
    evaluate(light.intensityEnvelope.get(), scene);
    evaluate(light.coneEnvelope.get(), scene);
  }
  evaluate(scene.camera.motion.get(), scene);
  evaluate(scene.camera.zoomEnvelope.get(), scene);
  for (const auto* envelope : {scene.ambientIntensityEnvelope.get(), scene.fogMinEnvelope.get(), scene.fogMaxEnvelope.get()}) {
    evaluate(envelope, scene);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes = std::as_bytes(std::span(data, size));
  (void)scene::looksLikeLightWaveScene(bytes);
  try {
    scene::DemoContext context(fuzz::scratchDirectory());
    checkScene(*scene::readLightWaveScene(context, "scene.lws", bytes, kNearPlane));
  } catch (const common::Error&) {
    // A clear refusal is what a malformed scene should get.
  }
  return 0;
}
