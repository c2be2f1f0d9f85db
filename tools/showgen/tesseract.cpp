// Tesseract vertices, edges, rotation, projection and ring layout.
#include "showgen/tesseract.h"

#include <cmath>

namespace tessarine::showgen {
namespace {

// The place (0 to 3) of a coordinate pair around a circle, in Gray-code order, so pairs
// that differ in one sign are neighbours.
int grayPlace(double a, double b) {
  bool pa = a > 0, pb = b > 0;
  if (!pa && !pb) return 0;
  if (pa && !pb) return 1;
  if (pa && pb) return 2;
  return 3;
}

}  // namespace

Tesseract::Tesseract() {
  for (int i = 0; i < kTesseractVertices; ++i) {
    vertices_[i] = {(i & 1) ? 1.0 : -1.0, (i & 2) ? 1.0 : -1.0, (i & 4) ? 1.0 : -1.0, (i & 8) ? 1.0 : -1.0};
  }
  int e = 0;
  for (int i = 0; i < kTesseractVertices; ++i) {
    for (int axis = 0; axis < 4; ++axis) {
      int j = i ^ (1 << axis);
      if (j > i) {
        edges_[e] = {i, j};
        axes_[e] = axis;
        ++e;
      }
    }
  }
}

Vec4 rotateXW(const Vec4& p, double angle) {
  double c = std::cos(angle), s = std::sin(angle);
  return {c * p.x - s * p.w, p.y, p.z, s * p.x + c * p.w};
}

Projected projectFromW(const Vec4& p, double eyeW) {
  double scale = eyeW / (eyeW - p.w);
  return {Vec3{p.x, p.y, p.z} * scale, scale};
}

Vec3 ringPosition(const Vec4& vertex, double radius, double tubeRadius) {
  // Places a quarter turn apart on the axes: every chord between neighbours then runs
  // at least 45 degrees away from the y axis of the ring's frame.
  double theta = grayPlace(vertex.x, vertex.y) * kPi / 2;
  double phi = grayPlace(vertex.z, vertex.w) * kPi / 2;
  double r = radius + tubeRadius * std::cos(phi);
  return {r * std::cos(theta), r * std::sin(theta), tubeRadius * std::sin(phi)};
}

}  // namespace tessarine::showgen
