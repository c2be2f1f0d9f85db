// Item placement: the parent chains of objects, the camera's inverse chain and the whole
// modelview of one item, multiplied onto OpenGL's current matrix.
#include <GL/gl.h>

#include <vector>

#include "scene/scene.h"

namespace tessarine::scene {
namespace {

// The ancestors of `object` and the object itself, root first. Walked without recursion
// (the reader refused cycles); the scratch list keeps its capacity, so a warm frame
// allocates nothing.
const std::vector<const SceneObject*>& chainOf(const SceneObject& object) {
  thread_local std::vector<const SceneObject*> chain;
  chain.clear();
  for (const SceneObject* at = &object; at != nullptr; at = at->parent) chain.push_back(at);
  return chain;
}

}  // namespace

void SceneObject::applyParentChain(double seconds) const {
  const std::vector<const SceneObject*>& chain = chainOf(*this);
  for (auto at = chain.rbegin(); at != chain.rend(); ++at) (*at)->motion->applyTransform(seconds);
}

void Scene::applyInverseParentChain(const SceneObject& object, double seconds) const {
  // Root first, as the item chain is; not the reverse order a true inverse would take.
  const std::vector<const SceneObject*>& chain = chainOf(object);
  for (auto at = chain.rbegin(); at != chain.rend(); ++at) (*at)->motion->applyInverseTransform(seconds);
}

void Scene::placeItem(const SceneObject* parent, anim::Motion& motion, double seconds) const {
  glLoadIdentity();
  // The camera looks along its own +z; OpenGL's eye looks along -z.
  glScalef(1, 1, -1);
  glTranslatef(shakeOffset[0], shakeOffset[1], shakeOffset[2]);
  if (camera.parentIndex != kNoParent) applyInverseParentChain(*camera.parent, seconds);
  camera.motion->applyInverseTransform(seconds);
  if (parent != nullptr) parent->applyParentChain(seconds);
  motion.applyTransform(seconds);
}

}  // namespace tessarine::scene
