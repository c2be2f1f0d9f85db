// Tesseract vertices, edges, rotation and projection.
#include "showgen/tesseract.h"

#include <cmath>

namespace tessarine::showgen {
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

}  // namespace tessarine::showgen
