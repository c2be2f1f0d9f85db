// The field of view from the zoom and the far plane from the fog end, both kept to values
// that make a valid projection whatever the scene file says.
#include "render/projection.h"

#include <cmath>

namespace tessarine::render {

float fieldOfView(float zoom) {
  if (!(zoom > 0)) return kMaxFieldOfView;  // also NaN
  float fovy = zoom > 1 ? 90.0f / zoom : static_cast<float>(90.0 / std::sqrt(zoom));
  return fovy < kMaxFieldOfView ? fovy : kMaxFieldOfView;
}

float lightWaveFieldOfView(float zoom) {
  if (!(zoom > 0)) return kMaxFieldOfView;
  const auto fovy = static_cast<float>(2 * std::atan(1.0 / zoom) * 180 / 3.14159265358979323846);
  return fovy < kMaxFieldOfView ? fovy : kMaxFieldOfView;
}

float farPlane(float fogEnd, float nearPlane) {
  // Fog ending at or before the near plane would make a degenerate projection; keep a
  // thin but valid depth range instead.
  constexpr float kMinDepthRange = 1.001f;
  float minimum = nearPlane * kMinDepthRange;
  return fogEnd > minimum ? fogEnd : minimum;
}

}  // namespace tessarine::render
