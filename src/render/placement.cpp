// Each object's world matrix, parents before children without recursion, and the view built
// from the mirror of z, the shake and the camera's parent chain.
#include "render/placement.h"

namespace tessarine::render {
namespace {

const anim::Matrix4 kIdentity;

}  // namespace

const anim::Matrix4& Placement::worldOf(const scene::SceneObject* object) const {
  if (object == nullptr) return kIdentity;
  return world_[static_cast<std::size_t>(object - scene_->objects.data())];
}

void Placement::update(const scene::Scene& scene, double seconds, const ShakeOffset& shake) {
  scene_ = &scene;
  const std::vector<scene::SceneObject>& objects = scene.objects;
  world_.resize(objects.size());
  done_.assign(objects.size(), 0);
  auto indexOf = [&](const scene::SceneObject* object) { return static_cast<std::size_t>(object - objects.data()); };

  // Each object waits on the stack until its parent is made; no recursion, so the depth
  // of a chain costs only stack entries.
  for (std::size_t start = 0; start < objects.size(); ++start) {
    pending_.clear();
    for (std::size_t at = start; !done_[at];) {
      pending_.push_back(at);
      const scene::SceneObject* parent = objects[at].parent;
      if (parent == nullptr) break;
      at = indexOf(parent);
    }
    while (!pending_.empty()) {
      const std::size_t at = pending_.back();
      pending_.pop_back();
      if (done_[at]) continue;
      world_[at] = worldOf(objects[at].parent) * anim::itemTransform(objects[at].motion->valueAt(seconds));
      done_[at] = 1;
    }
  }

  // The camera looks along its own +z; OpenGL's eye looks along -z.
  view_ = anim::scaling(1, 1, -1) * anim::translation(shake[0], shake[1], shake[2]);
  // The camera's parent chain is undone root first, as the item chain is applied; not
  // the reverse order a true inverse would take.
  if (scene.camera.parent != nullptr) {
    pending_.clear();
    for (const scene::SceneObject* at = scene.camera.parent; at != nullptr; at = at->parent) {
      pending_.push_back(indexOf(at));
    }
    for (auto at = pending_.rbegin(); at != pending_.rend(); ++at) {
      view_ = view_ * anim::viewTransform(objects[*at].motion->valueAt(seconds));
    }
  }
  view_ = view_ * anim::viewTransform(scene.camera.motion->valueAt(seconds));
}

anim::Matrix4 Placement::lightModelview(const scene::SceneLight& light, double seconds) const {
  return view_ * worldOf(light.parent) * anim::itemTransform(light.motion.valueAt(seconds));
}

}  // namespace tessarine::render
