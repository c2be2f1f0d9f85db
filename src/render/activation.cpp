#include "render/activation.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace tessarine::render {

namespace {

constexpr std::array<GLfloat, 4> kNoLight = {0, 0, 0, 1};

}  // namespace

float spotCutOff(float coneAngle) {
  if (std::isnan(coneAngle)) return kMaxSpotCutOff;
  return std::clamp(coneAngle, 0.0f, kMaxSpotCutOff);
}

void activate(const scene::SceneLight& light) {
  glEnable(light.glLight);
  // Lights contribute diffuse light only.
  glLightfv(light.glLight, GL_AMBIENT, kNoLight.data());
  glLightfv(light.glLight, GL_SPECULAR, kNoLight.data());
  if (!light.intensityEnvelope) glLightfv(light.glLight, GL_DIFFUSE, light.color.data());
  if (light.lightType == scene::kSpot) {
    if (!light.coneEnvelope) {
      glLightf(light.glLight, GL_SPOT_CUTOFF,
               light.coneAngle ? spotCutOff(*light.coneAngle) : kNoSpotCutOff);
    }
  } else {
    // A distant light takes no cut-off in principle, but one left from a spot light of
    // an earlier scene would still narrow it on some drivers.
    glLightf(light.glLight, GL_SPOT_CUTOFF, kNoSpotCutOff);
  }
}

void activate(scene::Scene& scene) {
  for (const auto& mesh : scene.context->meshes) mesh->texture().setPriority(kIdleTexturePriority);
  for (const scene::SceneObject& object : scene.objects) {
    if (object.mesh != nullptr) object.mesh->texture().setPriority(kSceneTexturePriority);
  }

  // Lights of the previous scene that this one lacks must go dark.
  for (unsigned i = 0; i < scene::kMaxLights; ++i) glDisable(GL_LIGHT0 + i);
  for (const scene::SceneLight& light : scene.lights) activate(light);

  if (!scene.ambientIntensityEnvelope) {
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, scene.effectiveAmbientColor().data());
  }
  glFogfv(GL_FOG_COLOR, scene.effectiveFogColor().data());
  scene::Color3 backdrop = scene.effectiveBackdropColor();
  glClearColor(backdrop[0], backdrop[1], backdrop[2], 0);
  if (!scene.fogMinEnvelope) glFogf(GL_FOG_START, scene.effectiveFogMinDistance());
  if (!scene.fogMaxEnvelope) glFogf(GL_FOG_END, scene.effectiveFogMaxDistance());
}

}  // namespace tessarine::render
