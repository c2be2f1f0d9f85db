// Where a scene's items stand at one moment: the view (mirror of z, camera shake, the
// camera's inverse parent chain and its own viewing transform) and each item's modelview,
// computed without a GL context.
#pragma once

#include <vector>

#include "anim/matrix.h"
#include "render/camera_shake.h"
#include "scene/scene.h"

namespace tessarine::render {

class Placement {
 public:
  // Evaluates every object's motion once and makes each object's world matrix (its
  // parents' transforms, outermost first, then its own) parents before children, so the
  // cost is linear in the number of items. Reuses its storage: a warm frame allocates
  // nothing. The scene's parent links must be resolved (no cycles). The view is moved
  // by `shake` before the camera's own turn.
  void update(const scene::Scene& scene, double seconds, const ShakeOffset& shake);

  const anim::Matrix4& view() const { return view_; }
  // The modelview of object `index` of the scene last updated.
  anim::Matrix4 objectModelview(std::size_t index) const { return view_ * world_[index]; }
  // The modelview of a light of the scene last updated, hanging from its parent.
  anim::Matrix4 lightModelview(const scene::SceneLight& light, double seconds) const;

 private:
  const anim::Matrix4& worldOf(const scene::SceneObject* object) const;
  anim::Matrix4 localTransform(const scene::Scene& scene, const scene::SceneObject& object, double seconds) const;
  anim::Matrix4 aimedTransform(const anim::ItemMotion& motion, const scene::Vector3& pivot,
                               const scene::SceneObject* parent, const scene::SceneObject* target,
                               double seconds) const;

  const scene::Scene* scene_ = nullptr;
  anim::Matrix4 view_;
  std::vector<anim::Matrix4> world_;
  std::vector<unsigned char> done_;
  std::vector<std::size_t> pending_;
};

}  // namespace tessarine::render
