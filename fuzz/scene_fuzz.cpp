// Fuzz target for the scene file reader with its motion and envelope sections: the bytes
// are read as a scene's. Its data directory holds a valid object "ship.lwo" with its image,
// so "LoadObject ship.lwo" reaches the mesh library and the object's motion, and names that
// lead to no regular file: a FIFO object, a valid object whose image is a FIFO, a directory.
#include <cmath>
#include <span>

#include "common/error.h"
#include "fuzz_target.h"
#include "scene_invariants.h"
#include "scene/demo_context.h"
#include "scene/scene.h"

namespace {

using namespace tessarine;

constexpr float kNearPlane = 1.0f;

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

void checkScene(const scene::Scene& scene) {
  fuzz::checkSceneInvariants(scene);
  checkParents(scene);
  fuzz::evaluateEveryCurve(scene);
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
