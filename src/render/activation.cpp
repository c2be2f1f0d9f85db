// Loads a scene's lasting OpenGL values when it becomes current, and its per-frame values
// whenever they are taken.
#include "render/activation.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tessarine::render {

namespace {

constexpr std::array<GLfloat, 4> kNoLight = {0, 0, 0, 1};

void activate(const scene::SceneLight& light) {
  glEnable(light.glLight);
  // Lights contribute diffuse light only.
  glLightfv(light.glLight, GL_AMBIENT, kNoLight.data());
  glLightfv(light.glLight, GL_SPECULAR, kNoLight.data());
  glLightf(light.glLight, GL_SPOT_EXPONENT, spotExponent(light.coneAngle.value_or(0), light.edgeAngle));
  glLightf(light.glLight, GL_CONSTANT_ATTENUATION, light.attenuation[0]);
  glLightf(light.glLight, GL_LINEAR_ATTENUATION, light.attenuation[1]);
  glLightf(light.glLight, GL_QUADRATIC_ATTENUATION, light.attenuation[2]);
}

}  // namespace

float spotExponent(float coneAngle, float edgeAngle) {
  // cos^e of the angle from the axis halves the light halfway through the soft edge.
  const double halfway = (coneAngle - edgeAngle / 2) * std::numbers::pi / 180;
  if (!(edgeAngle > 0) || !(halfway > 0) || !(halfway < std::numbers::pi / 2)) return 0;
  return static_cast<float>(std::clamp(std::log(0.5) / std::log(std::cos(halfway)), 0.0, kMaxSpotExponent));
}

float spotCutOff(float coneAngle) {
  if (std::isnan(coneAngle)) return kMaxSpotCutOff;
  return std::clamp(coneAngle, 0.0f, kMaxSpotCutOff);
}

void loadFrameValues(const scene::Scene& scene, const FrameValues& values) {
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, values.ambientColor.data());
  glFogf(GL_FOG_START, values.fogMinDistance);
  glFogf(GL_FOG_END, values.fogMaxDistance);
  for (std::size_t i = 0; i < values.lightCount; ++i) {
    const scene::SceneLight& light = scene.lights[i];
    const LightValues& v = values.lightValues[i];
    glLightfv(light.glLight, GL_DIFFUSE, v.diffuse.data());
    // Only a spot light has a cone. Any other takes no cut-off in principle, but one left
    // from a spot light of an earlier scene would still narrow it on some drivers.
    glLightf(light.glLight, GL_SPOT_CUTOFF, v.coneAngle ? spotCutOff(*v.coneAngle) : kNoSpotCutOff);
  }
}

void activate(scene::Scene& scene) {
  for (const auto& mesh : scene.context->meshes) mesh->setTexturePriority(kIdleTexturePriority);
  for (const scene::SceneObject& object : scene.objects) {
    if (object.mesh != nullptr) object.mesh->setTexturePriority(kSceneTexturePriority);
  }

  // Lights of the previous scene that this one lacks must go dark.
  for (unsigned i = 0; i < scene::kMaxLights; ++i) glDisable(GL_LIGHT0 + i);
  for (const scene::SceneLight& light : scene.lights) activate(light);

  if (scene.fogged) {
    glEnable(GL_FOG);
  } else {
    glDisable(GL_FOG);
  }
  glFogfv(GL_FOG_COLOR, scene.effectiveFogColor().data());
  scene::Color3 backdrop = scene.effectiveBackdropColor();
  glClearColor(backdrop[0], backdrop[1], backdrop[2], 0);
  loadFrameValues(scene, frameValues(scene, scene.startTime));
}

}  // namespace tessarine::render
