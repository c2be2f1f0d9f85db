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

}  // namespace tessarine::anim
