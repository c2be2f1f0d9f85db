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

  // Each object waits on the stack until what it hangs from (its parent, and its target) is
  // made; no recursion, so the depth of a chain costs only stack entries. A target that waits
  // on the object itself is taken where it stood when last placed.
  enum : unsigned char { kWaiting, kPending, kMade };
  auto waitingOn = [&](const scene::SceneObject* object) {
    return object != nullptr && done_[indexOf(object)] == kWaiting ? indexOf(object) : objects.size();
  };
  for (std::size_t start = 0; start < objects.size(); ++start) {
    if (done_[start] == kMade) continue;
    pending_.assign(1, start);
    while (!pending_.empty()) {
      const std::size_t at = pending_.back();
      done_[at] = kPending;
      const scene::SceneObject& object = objects[at];
      if (std::size_t next = waitingOn(object.parent); next < objects.size()) {
        pending_.push_back(next);
        continue;
      }
      if (std::size_t next = waitingOn(object.target); next < objects.size()) {
        pending_.push_back(next);
        continue;
      }
      pending_.pop_back();
      world_[at] = worldOf(object.parent) * localTransform(scene, object, seconds);
      done_[at] = kMade;
    }
  }

  // The camera looks along its own +z; OpenGL's eye looks along -z.
  view_ = anim::scaling(1, 1, -1) * anim::translation(shake[0], shake[1], shake[2]);
  if (scene.rule == scene::TransformRule::kLightWave) {
    const scene::SceneCamera& camera = scene.camera;
    view_ = view_ * anim::affineInverse(worldOf(camera.parent) *
                                        aimedTransform(*camera.motion, camera.pivot, camera.parent, camera.target, seconds));
    return;
  }
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
  if (scene_->rule == scene::TransformRule::kLightWave) {
    return view_ * worldOf(light.parent) * aimedTransform(light.motion, light.pivot, light.parent, light.target, seconds);
  }
  return view_ * worldOf(light.parent) * anim::itemTransform(light.motion.valueAt(seconds));
}

anim::Matrix4 Placement::localTransform(const scene::Scene& scene, const scene::SceneObject& object,
                                        double seconds) const {
  if (scene.rule == scene::TransformRule::kShow) return anim::itemTransform(object.motion->valueAt(seconds));
  return aimedTransform(*object.motion, object.pivot, object.parent, object.target, seconds);
}

// An item with a target turns its +z to the target's origin, seen from the item's parent: its
// own heading and pitch give way, its bank stays. A target not yet placed this frame (one that
// waits on the item itself) is taken where it stood when last placed.
anim::Matrix4 Placement::aimedTransform(const anim::ItemMotion& motion, const scene::Vector3& pivot,
                                        const scene::SceneObject* parent, const scene::SceneObject* target,
                                        double seconds) const {
  anim::ChannelValues values = motion.valueAt(seconds);
  if (target != nullptr) {
    const anim::Matrix4& aimed = worldOf(target);
    const anim::Matrix4 toParent = anim::affineInverse(worldOf(parent));
    const std::array<float, 4> at = {aimed.m[12], aimed.m[13], aimed.m[14], 1};
    std::array<float, 3> local{};
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 4; ++c) local[r] += toParent.m[4 * c + r] * at[c];
    }
    const auto [heading, pitch] = anim::aimAt(local[0] - values[anim::kPositionX], local[1] - values[anim::kPositionY],
                                              local[2] - values[anim::kPositionZ]);
    values[anim::kHeading] = heading;
    values[anim::kPitch] = pitch;
  }
  return anim::lightWaveTransform(values, pivot);
}

}  // namespace tessarine::render
