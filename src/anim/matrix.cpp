// Products of 4 x 4 matrices, the translation, scaling and rotation matrices, and the
// item and viewing transforms built from a motion's channel values.
#include "anim/matrix.h"

#include <cmath>
#include <numbers>

namespace tessarine::anim {

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
  Matrix4 product;
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[4 * k + r] * b.m[4 * c + k];
      product.m[4 * c + r] = sum;
    }
  }
  return product;
}

Matrix4 translation(float x, float y, float z) {
  Matrix4 t;
  t.m[12] = x;
  t.m[13] = y;
  t.m[14] = z;
  return t;
}

Matrix4 scaling(float x, float y, float z) {
  Matrix4 s;
  s.m[0] = x;
  s.m[5] = y;
  s.m[10] = z;
  return s;
}

Matrix4 rotation(float degrees, int axis) {
  const double radians = static_cast<double>(degrees) * std::numbers::pi / 180.0;
  const auto c = static_cast<float>(std::cos(radians));
  const auto s = static_cast<float>(std::sin(radians));
  // The two axes that turn into each other; the third stays.
  const int u = (axis + 1) % 3;
  const int v = (axis + 2) % 3;
  Matrix4 r;
  r.m[4 * u + u] = c;
  r.m[4 * u + v] = s;
  r.m[4 * v + u] = -s;
  r.m[4 * v + v] = c;
  return r;
}

Matrix4 itemTransform(const ChannelValues& v) {
  return translation(v[kPositionX], v[kPositionY], v[kPositionZ]) * scaling(v[kScaleX], v[kScaleY], v[kScaleZ]) *
         rotation(v[kPitch], 0) * rotation(v[kHeading], 1) * rotation(v[kBank], 2);
}

Matrix4 viewTransform(const ChannelValues& v) {
  return rotation(-v[kPitch], 0) * rotation(-v[kHeading], 1) * rotation(-v[kBank], 2) *
         translation(-v[kPositionX], -v[kPositionY], -v[kPositionZ]);
}

Matrix4 lightWaveTransform(const ChannelValues& v, const std::array<float, 3>& pivot) {
  return translation(v[kPositionX], v[kPositionY], v[kPositionZ]) * rotation(v[kHeading], 1) *
         rotation(v[kPitch], 0) * rotation(v[kBank], 2) * scaling(v[kScaleX], v[kScaleY], v[kScaleZ]) *
         translation(-pivot[0], -pivot[1], -pivot[2]);
}

Matrix4 affineInverse(const Matrix4& a) {
  auto at = [&](int r, int c) { return static_cast<double>(a.m[4 * c + r]); };
  // Cofactors of the 3 x 3 part, transposed: its adjugate.
  double adj[3][3];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
      adj[r][c] = at(r1, c1) * at(r2, c2) - at(r1, c2) * at(r2, c1);
    }
  }
  const double det = at(0, 0) * adj[0][0] + at(0, 1) * adj[1][0] + at(0, 2) * adj[2][0];
  if (!(std::abs(det) > 1e-30) || !std::isfinite(det)) return Matrix4{};
  Matrix4 inverse;
  for (int r = 0; r < 3; ++r) {
    double moved = 0;
    for (int c = 0; c < 3; ++c) {
      inverse.m[4 * c + r] = static_cast<float>(adj[r][c] / det);
      moved -= adj[r][c] / det * at(c, 3);
    }
    inverse.m[12 + r] = static_cast<float>(moved);
  }
  return inverse;
}

std::array<float, 2> aimAt(float x, float y, float z) {
  constexpr double kDegrees = 180.0 / std::numbers::pi;
  const double across = std::hypot(static_cast<double>(x), static_cast<double>(z));
  if (across == 0 && y == 0) return {0, 0};
  // A positive pitch tips +z down, towards -y.
  return {static_cast<float>(std::atan2(x, z) * kDegrees), static_cast<float>(std::atan2(-y, across) * kDegrees)};
}

}  // namespace tessarine::anim
