// Fuzz target for the LightWave scene reader (LWSC 1 to 5): the bytes are read as a scene as
// LightWave writes it. The reader opens no file, so nothing is placed beside the input. An
// accepted scene must keep the reader's promises, checked here; evaluation runs at the
// scene's ends and far past them.
#include <span>

#include "common/error.h"
#include "fuzz_target.h"
#include "scene_invariants.h"
#include "scene/lightwave_scene_reader.h"

namespace {

using namespace tessarine;

constexpr float kNearPlane = 1.0f;

// `object` is null exactly when `index` says none, and otherwise the object at that index.
void checkLink(const scene::Scene& scene, std::int32_t index, const scene::SceneObject* object) {
  if (index == scene::kNoParent ? object != nullptr
                                : index < 0 || static_cast<std::size_t>(index) >= scene.objects.size() ||
                                      object != &scene.objects[static_cast<std::size_t>(index)]) {
    fuzz::failInvariant("a parent or target that is not the object its index names");
  }
}

void checkScene(const scene::Scene& scene) {
  fuzz::checkSceneInvariants(scene);
  if (scene.rule != scene::TransformRule::kLightWave) fuzz::failInvariant("a LightWave scene placed by the show's rule");
  checkLink(scene, scene.camera.parentIndex, scene.camera.parent);
  checkLink(scene, scene.camera.targetIndex, scene.camera.target);
  for (const scene::SceneObject& object : scene.objects) {
    checkLink(scene, object.parentIndex, object.parent);
    checkLink(scene, object.targetIndex, object.target);
    std::size_t steps = 0;
    for (const scene::SceneObject* at = &object; at != nullptr; at = at->parent) {
      if (++steps > scene.objects.size()) fuzz::failInvariant("a parent chain that never ends");
    }
  }
  for (const scene::SceneLight& light : scene.lights) {
    checkLink(scene, light.parentIndex, light.parent);
    checkLink(scene, light.targetIndex, light.target);
  }
  fuzz::evaluateEveryCurve(scene);
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
