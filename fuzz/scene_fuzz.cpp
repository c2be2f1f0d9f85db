// Fuzz target for the scene file reader with its motion and envelope sections: the bytes
// are read as a scene's. Its data directory holds a valid object "ship.lwo" with its image,
// so "LoadObject ship.lwo" reaches the mesh library and the object's motion, and names that
// lead to no regular file: a FIFO object, a valid object whose image is a FIFO, a directory.
#include <cmath>
#include <span>

#include "anim/item_motion.h"
#include "common/error.h"
#include "fuzz_target.h"
#include "scene/demo_context.h"
#include "scene/scene.h"

namespace {

using namespace tessarine;

constexpr float kNearPlane = 1.0f;

// Evaluation trusts what the readers promise (at least one key, ascending frames); it is
// run at the scene's ends and past them so that a broken promise shows as a fault here.
template <typename Curve>
void evaluate(const Curve* curve, const scene::Scene& scene) {
  if (curve == nullptr) return;
  for (double seconds : {scene.startTime, scene.endTime, (scene.startTime + scene.endTime) / 2, -1.0, 1e9}) {
    (void)curve->valueAt(seconds);
  }
}

// Every parent chain of an accepted scene ends at a root within as many steps as there are objects.
void checkParents(const scene::Scene& scene) {
  auto inScene = [&](const scene::SceneObject* object) {
    return object == nullptr ||
           (object >= scene.objects.data() && object < scene.objects.data() + scene.objects.size());
  };
  for (const scene::SceneObject& object : scene.objects) {
    const scene::SceneObject* at = &object;
    for (std::size_t steps = 0; at != nullptr; ++steps) {
      if (!inScene(at->parent)) fuzz::failInvariant("a parent outside the scene's objects");
      if (steps > scene.objects.size()) fuzz::failInvariant("a parent chain that never ends");
      at = at->parent;
    }
  }
  for (const scene::SceneLight& light : scene.lights) {
    if (!inScene(light.parent)) fuzz::failInvariant("a light's parent outside the scene's objects");
  }
  if (!inScene(scene.camera.parent)) fuzz::failInvariant("the camera's parent outside the scene's objects");
}

void checkScene(scene::Scene& scene) {
  if (scene.lights.size() > scene::kMaxLights) fuzz::failInvariant("more lights than OpenGL has");
  for (std::size_t i = 0; i < scene.lights.size(); ++i) {
    if (scene.lights[i].glLight != scene::kGlLight0 + i) fuzz::failInvariant("a light on the wrong GL light");
  }
  if (!scene.camera.motion) fuzz::failInvariant("a scene without a camera motion");
  if (!(scene.framesPerSecond > 0)) fuzz::failInvariant("a scene without a frame rate");
  checkParents(scene);

  evaluate(scene.camera.motion.get(), scene);
  evaluate(scene.camera.zoomEnvelope.get(), scene);
  for (scene::SceneObject& object : scene.objects) {
    if (!object.motion) fuzz::failInvariant("an object without a motion");
    evaluate(object.motion.get(), scene);
  }
  for (scene::SceneLight& light : scene.lights) {
    evaluate(&light.motion, scene);
    evaluate(light.intensityEnvelope.get(), scene);
    evaluate(light.coneEnvelope.get(), scene);
  }
  for (const auto* envelope : {scene.ambientIntensityEnvelope.get(), scene.fogMinEnvelope.get(),
                               scene.fogMaxEnvelope.get(), scene.shakeEnvelope.get()}) {
    evaluate(envelope, scene);
  }
}

bool placeNeighbours() {
  fuzz::writeScratchFile("ship.lwo", fuzz::smallObjectBytes());
  fuzz::writeScratchFile("ship.tga", fuzz::smallImageBytes());
  fuzz::makeScratchFifo("pipe.lwo");
  fuzz::writeScratchFile("piped.lwo", fuzz::smallObjectBytes());
  fuzz::makeScratchFifo("piped.tga");
  fuzz::makeScratchDirectory("folder.lwo");
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool neighboursPlaced = placeNeighbours();
  (void)neighboursPlaced;
  try {
    scene::DemoContext context(fuzz::scratchDirectory());
    scene::Scene scene(context, "scene.lws", std::as_bytes(std::span(data, size)), kNearPlane);
    checkScene(scene);
  } catch (const common::Error&) {
    // A clear refusal is what a malformed scene should get.
  }
  return 0;
}
