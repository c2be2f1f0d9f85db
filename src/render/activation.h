// Scene activation: the OpenGL values that stay fixed while one scene plays (texture
// residence, the enabled lights with their colours and cut-offs, ambient light, fog
// colour and distances, clear colour), loaded when the scene becomes current.
#pragma once

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

// Everything that holds while `scene` plays, except what its envelopes drive; those
// the renderer sets every frame. Needs a current GL context.
void activate(scene::Scene& scene);

// Enables the light's OpenGL light with a diffuse-only colour and its cut-off.
void activate(const scene::SceneLight& light);

}  // namespace tessarine::render
