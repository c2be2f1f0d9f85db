// Scene activation: the OpenGL values that stay fixed while one scene plays (texture
// residence, the enabled lights, fog colour, clear colour), loaded when the scene becomes
// current, and the loading of its per-frame values.
#pragma once

#include "render/frame_values.h"
#include "scene/scene.h"

namespace tessarine::render {

// Residence priorities: the current scene's textures before every other one.
inline constexpr float kIdleTexturePriority = 0.2f;
inline constexpr float kSceneTexturePriority = 0.8f;

// The spot cut-off of a light that shines in every direction.
inline constexpr float kNoSpotCutOff = 180.0f;
// OpenGL refuses spot cut-offs outside 0 to 90 (but for 180), and a refused value
// would leave the previous scene's cut-off in force.
inline constexpr float kMaxSpotCutOff = 90.0f;

// A cone angle in degrees as a valid spot cut-off: clamped into 0 to 90.
float spotCutOff(float coneAngle);

// The sharpest fall OpenGL takes for a spot light.
inline constexpr double kMaxSpotExponent = 128;
// The spot exponent for a LightWave spot light's soft edge: 0 (an even cone) without one.
float spotExponent(float coneAngle, float edgeAngle);

// Loads what holds while `scene` plays, and its per-frame values at its start time, so
// the state is whole before the first frame. Needs a current GL context.
void activate(scene::Scene& scene);

// Loads `values`, taken from `scene`, into the ambient light, the fog distances and each
// light's diffuse colour and cut-off. Needs a current GL context.
void loadFrameValues(const scene::Scene& scene, const FrameValues& values);

}  // namespace tessarine::render
