// Parent links of a scene's items, checked so that every chain ends at a root.
#include "scene/parent_resolution.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/error.h"

namespace tessarine::scene::detail {
namespace {

// `kind` and `number` name the item in the message ("object 3", "the camera").
const SceneObject* parentAt(const Scene& scene, std::int32_t index, std::string_view kind, std::size_t number,
                            const std::string& path) {
  if (index == kNoParent) return nullptr;
  std::size_t count = scene.objects.size();
  if (index < 0 || static_cast<std::size_t>(index) >= count) {
    std::string objects = count == 0 ? "no objects" : "objects 0 to " + std::to_string(count - 1);
    std::string item = kind == "camera" ? "the camera" : std::string(kind) + " " + std::to_string(number);
    throw common::Error("ParentObject " + std::to_string(index) + " of " + item + " names no object: " + path +
                        " has " + objects);
  }
  return &scene.objects[static_cast<std::size_t>(index)];
}

// Walks up from every object once, colouring as it goes: an object met again on the walk
// that is still open closes a cycle. Linear in the number of objects, without recursion.
void refuseCycles(const Scene& scene, const std::string& path) {
  enum class State : std::uint8_t { kUnseen, kOnWalk, kEnds };
  std::vector<State> state(scene.objects.size(), State::kUnseen);
  std::vector<std::size_t> walk;
  auto indexOf = [&](const SceneObject* object) { return static_cast<std::size_t>(object - scene.objects.data()); };
  for (std::size_t start = 0; start < scene.objects.size(); ++start) {
    walk.clear();
    std::size_t at = start;
    while (state[at] == State::kUnseen) {
      state[at] = State::kOnWalk;
      walk.push_back(at);
      const SceneObject* parent = scene.objects[at].parent;
      if (parent == nullptr) break;
      at = indexOf(parent);
    }
    if (state[at] == State::kOnWalk && scene.objects[at].parent != nullptr) {
      throw common::Error("Object " + std::to_string(at) + " is its own ancestor through ParentObject in " + path);
    }
    for (std::size_t index : walk) state[index] = State::kEnds;
  }
}

}  // namespace

void resolveParents(Scene& scene, const std::string& path) {
  for (std::size_t i = 0; i < scene.objects.size(); ++i) {
    SceneObject& object = scene.objects[i];
    object.parent = parentAt(scene, object.parentIndex, "object", i, path);
  }
  for (std::size_t i = 0; i < scene.lights.size(); ++i) {
    SceneLight& light = scene.lights[i];
    light.parent = parentAt(scene, light.parentIndex, "light", i, path);
  }
  scene.camera.parent = parentAt(scene, scene.camera.parentIndex, "camera", 0, path);
  refuseCycles(scene, path);
}

}  // namespace tessarine::scene::detail
