// The object view: a one-object scene in LightWave's placement, its numbers worked out from
// the object's bounds so that any size of object fills the picture.
#include "scene/object_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessarine::scene {
namespace {

constexpr float kFramesPerSecond = 30;
constexpr float kZoom = 3.2f;  // LightWave's own default lens
// The camera looks down on the object a little, from in front of it (LightWave's front is -z).
constexpr float kCameraPitchDegrees = 20;
// Room around the bounding sphere, so that the turning object never touches the edges.
constexpr float kMargin = 1.15f;
constexpr Color3 kBackdrop = {0.2f, 0.2f, 0.25f};

anim::MotionKey key(std::uint32_t frame, float x, float y, float z, float heading, float pitch) {
  anim::MotionKey k;
  k.frame = frame;
  k.values = {x, y, z, heading, pitch, 0, 1, 1, 1};
  k.linear = 1;
  return k;
}

anim::ItemMotion still(float x, float y, float z, float heading, float pitch) {
  return anim::Motion({key(0, x, y, z, heading, pitch)}, kFramesPerSecond);
}

}  // namespace

std::unique_ptr<Scene> makeObjectView(DemoContext& context, mesh::Mesh& mesh, std::string fileName) {
  std::array<float, 3> low{}, high{};
  if (const mesh::SurfaceModel* surfaces = mesh.surfaces()) {
    low = surfaces->geometry.boundsMin;
    high = surfaces->geometry.boundsMax;
  }
  Vector3 centre{};
  float radius = 0;
  for (int axis = 0; axis < 3; ++axis) {
    centre[axis] = (low[axis] + high[axis]) / 2;
    radius += (high[axis] - low[axis]) * (high[axis] - low[axis]) / 4;
  }
  radius = std::sqrt(radius);
  if (!(radius > 0) || !std::isfinite(radius)) radius = 1;

  // The bounding sphere fits the narrower of the two fields of view at this distance.
  const double halfField = std::atan(1.0 / kZoom) / std::max(1.0f, 1.0f / context.aspect);
  const auto distance = static_cast<float>(kMargin * radius / std::sin(halfField));
  auto view = std::make_unique<Scene>(context, std::move(fileName), distance / 100, TransformRule::kLightWave);
  view->framesPerSecond = kFramesPerSecond;
  view->firstFrame = 0;
  view->lastFrame = static_cast<std::uint32_t>(kObjectTurnSeconds * kFramesPerSecond);
  view->startTime = 0;
  view->endTime = kObjectTurnSeconds;

  SceneObject& object = view->objects.emplace_back();
  object.mesh = &mesh;
  object.pivot = centre;
  const auto turn = static_cast<std::uint32_t>(*view->lastFrame);
  object.motion = std::make_unique<anim::ItemMotion>(
      anim::Motion({key(0, 0, 0, 0, 0, 0), key(turn, 0, 0, 0, 360, 0)}, kFramesPerSecond));
  object.source.name = mesh.name();
  object.source.file = mesh.name();

  const double pitch = kCameraPitchDegrees * std::numbers::pi / 180;
  view->camera.motion = std::make_unique<anim::ItemMotion>(
      still(0, static_cast<float>(distance * std::sin(pitch)), static_cast<float>(-distance * std::cos(pitch)), 0,
            kCameraPitchDegrees));
  view->camera.zoomFactor = kZoom;

  // A distant light shines along its +z: from above, behind the camera's left shoulder.
  SceneLight& light = view->lights.emplace_back(still(0, 0, 0, 30, 45));
  light.lightType = kDistant;
  light.intensity = 1;
  light.color = {1, 1, 1, 1};
  light.name = "Light";
  view->ambientColor = kDefaultAmbientColor;
  view->backdropColor = kBackdrop;
  // Fog only beyond the object, where nothing is drawn.
  view->fogMinDistance = 4 * distance;
  view->fogMaxDistance = 8 * distance;
  return view;
}

}  // namespace tessarine::scene
