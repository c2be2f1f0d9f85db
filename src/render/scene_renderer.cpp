// Draws one frame of a scene on the current GL context from its per-frame values and placement.
#include "render/scene_renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>

#include "render/activation.h"
#include "render/camera_shake.h"
#include "render/frame_values.h"
#include "render/placement.h"
#include "render/projection.h"

namespace tessarine::render {

namespace {

// A light's own frame: it sits at its origin and shines along its +z.
constexpr std::array<GLfloat, 4> kPositionedLight = {0, 0, 0, 1};
// A distant light shines along its own +z axis, as a spot light does; OpenGL wants the
// direction towards the light, its own -z. (With w = 0 the origin would be a direction of
// length zero, which OpenGL cannot light with.)
constexpr std::array<GLfloat, 4> kDistantLight = {0, 0, -1, 0};
constexpr std::array<GLfloat, 3> kSpotDirection = {0, 0, 1};

void project(const scene::Scene& scene, const FrameValues& values) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // The far clipping distance follows the fog end, so nothing beyond full fog is drawn.
  const float fovy =
      scene.rule == scene::TransformRule::kLightWave ? lightWaveFieldOfView(values.zoom) : fieldOfView(values.zoom);
  gluPerspective(fovy, scene.context->aspect, scene.nearPlane,
                 farPlane(scene.fogged ? values.fogMaxDistance : kUnfoggedFarPlane, scene.nearPlane));
  glMatrixMode(GL_MODELVIEW);
}

void placeLight(const Placement& placement, const scene::SceneLight& light, double seconds) {
  glLoadMatrixf(placement.lightModelview(light, seconds).m.data());
  if (light.lightType == scene::kSpot) glLightfv(light.glLight, GL_SPOT_DIRECTION, kSpotDirection.data());
  // Position and direction are taken through the modelview matrix placed above.
  glLightfv(light.glLight, GL_POSITION,
            light.lightType == scene::kDistant ? kDistantLight.data() : kPositionedLight.data());
}

}  // namespace

void render(const scene::Scene& scene, float t) {
  const double seconds = t;
  const FrameValues values = frameValues(scene, seconds);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  loadFrameValues(scene, values);
  project(scene, values);

  // Made once per frame and kept, so a warm frame allocates nothing.
  thread_local Placement placement;
  placement.update(scene, seconds, shakeOffset(values.shakeAmplitude, t));

  // Every light is in place before the first object is lit by it.
  for (const scene::SceneLight& light : scene.lights) placeLight(placement, light, seconds);

  for (std::size_t i = 0; i < scene.objects.size(); ++i) {
    const scene::SceneObject& object = scene.objects[i];
    // A null only carries a transform for its children.
    if (object.mesh == nullptr) continue;
    glLoadMatrixf(placement.objectModelview(i).m.data());
    object.mesh->draw();
  }
}

}  // namespace tessarine::render
