// The values of a scene that may change from frame to frame (ambient light, fog
// distances, each light's intensity and cone, the camera's zoom, the shake amplitude),
// taken at one moment without a GL context.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "scene/scene.h"

namespace tessarine::render {

struct LightValues {
  std::optional<float> intensity;  // none only where the file gave neither number nor envelope
  scene::Color4 diffuse{0, 0, 0, 1};
  std::optional<float> coneAngle;  // degrees; spot lights only
};

struct FrameValues {
  std::optional<float> ambientIntensity;  // none when the file has no "AmbientColor"
  scene::Color4 ambientColor{};           // colour times intensity, alpha 1
  float fogMinDistance = 0;
  float fogMaxDistance = 0;
  float zoom = 1;
  float shakeAmplitude = 0;
  // Light i is the scene's light i; kept in place so that a frame allocates nothing.
  std::array<LightValues, scene::kMaxLights> lightValues{};
  std::size_t lightCount = 0;

  std::span<const LightValues> lights() const { return {lightValues.data(), lightCount}; }
};

// Every value of `scene` in force at `seconds` of its own clock.
FrameValues frameValues(const scene::Scene& scene, double seconds);

}  // namespace tessarine::render
