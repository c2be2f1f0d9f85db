// Small vector arithmetic for the show's makers: points, directions and colours.
#pragma once

#include <array>
#include <cmath>

namespace tessarine::showgen {

struct Vec3 {
  double x = 0, y = 0, z = 0;

  Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
  Vec3 operator-() const { return {-x, -y, -z}; }
  double dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
  Vec3 cross(const Vec3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
  double length() const { return std::sqrt(dot(*this)); }
  Vec3 normalized() const {
    double l = length();
    return l > 0 ? *this * (1.0 / l) : Vec3{};
  }
  std::array<float, 3> toFloat() const { return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)}; }
};

inline Vec3 lerp(const Vec3& a, const Vec3& b, double t) { return a + (b - a) * t; }

inline constexpr double kPi = 3.14159265358979323846;
inline double radians(double degrees) { return degrees * kPi / 180.0; }
inline double degrees(double radians) { return radians * 180.0 / kPi; }

// 0 below `edge0`, 1 above `edge1`, a smooth S between.
inline double smoothstep(double edge0, double edge1, double x) {
  double t = (x - edge0) / (edge1 - edge0);
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return t * t * (3 - 2 * t);
}

inline double clamp01(double x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }

}  // namespace tessarine::showgen
