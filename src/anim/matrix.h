// 4 x 4 float matrices in OpenGL's column-major layout, and the item and viewing
// transforms of a motion's channel values, computed without a GL context.
#pragma once

#include <array>

#include "anim/keyed_curve.h"

namespace tessarine::anim {

// Column-major: element (row r, column c) is m[4 * c + r], as glLoadMatrixf takes it.
struct Matrix4 {
  std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  friend bool operator==(const Matrix4&, const Matrix4&) = default;
};

// a x b: b acts on a point first.
Matrix4 operator*(const Matrix4& a, const Matrix4& b);

Matrix4 translation(float x, float y, float z);
Matrix4 scaling(float x, float y, float z);
// A turn by `degrees` about the x (0), y (1) or z (2) axis, counter-clockwise looking
// down the axis towards the origin.
Matrix4 rotation(float degrees, int axis);

// translate, scale, pitch about x, heading about y, bank about z: a point is turned by
// bank, heading, pitch in that order, then scaled along the parent's axes, then moved.
Matrix4 itemTransform(const ChannelValues& v);
// -pitch, -heading, -bank, then the negated translation; scale takes no part. The
// angles keep the item order, as the shows were authored against this view: an exact
// inverse only when one angle is non-zero.
Matrix4 viewTransform(const ChannelValues& v);

// LightWave's own: the pivot moved to the origin, then scale, bank about z, pitch about x,
// heading about y, then the move to the position.
Matrix4 lightWaveTransform(const ChannelValues& v, const std::array<float, 3>& pivot);

// The inverse of a matrix whose last row is 0 0 0 1; the identity when its 3 x 3 part is singular.
Matrix4 affineInverse(const Matrix4& a);

// The heading and pitch (degrees) that turn an item's +z towards the direction (x, y, z); both 0
// for a direction of length zero.
std::array<float, 2> aimAt(float x, float y, float z);

}  // namespace tessarine::anim
