// The camera's projection: field of view from the zoom factor, clipping distances.
#pragma once

namespace tessarine::render {

// The widest field of view the projection accepts: a zoom of 0.25 or less (or 0, or
// negative, where the formula has no answer) would reach or pass 180 degrees.
inline constexpr float kMaxFieldOfView = 179.0f;

// Vertical field of view in degrees: 90 / zoom above 1, 90 / sqrt(zoom) otherwise,
// never kMaxFieldOfView or more.
float fieldOfView(float zoom);

// LightWave's: the zoom factor is the lens's focal length over half the frame's height, so
// the vertical field of view is 2 atan(1 / zoom); never kMaxFieldOfView or more.
float lightWaveFieldOfView(float zoom);

// How far the view of a scene without fog reaches: LightWave content is measured in metres.
inline constexpr float kUnfoggedFarPlane = 10000.0f;

// The far clipping distance for a fog end `fogEnd`: the fog end itself, but always
// beyond the near plane so the projection stays valid.
float farPlane(float fogEnd, float nearPlane);

}  // namespace tessarine::render
