// The four-dimensional cube of scenes S2 and S5: its 16 vertices and 32 edges, turned in
// the x-w plane and projected to 3D with perspective along w.
#pragma once

#include <array>
#include <utility>

#include "showgen/vec.h"

namespace tessarine::showgen {

inline constexpr int kTesseractVertices = 16;
inline constexpr int kTesseractEdges = 32;

struct Vec4 {
  double x = 0, y = 0, z = 0, w = 0;
};

class Tesseract {
 public:
  Tesseract();

  // Vertex i has coordinate k equal to +1 when bit k of i is set, else -1 (x, y, z, w).
  const Vec4& vertex(int i) const { return vertices_[i]; }
  // Edge e joins two vertices that differ in one coordinate.
  const std::pair<int, int>& edge(int e) const { return edges_[e]; }
  // The coordinate (0 x, 1 y, 2 z, 3 w) along which edge e runs.
  int edgeAxis(int e) const { return axes_[e]; }

 private:
  std::array<Vec4, kTesseractVertices> vertices_;
  std::array<std::pair<int, int>, kTesseractEdges> edges_;
  std::array<int, kTesseractEdges> axes_;
};

// Turns a point by `angle` radians in the x-w plane.
Vec4 rotateXW(const Vec4& p, double angle);

// Perspective from 4D to 3D, the eye on the w axis at `eyeW`: the point's x, y, z
// scaled by eyeW / (eyeW - w). Also gives that scale, the point's apparent size.
struct Projected {
  Vec3 position;
  double scale = 1;
};
Projected projectFromW(const Vec4& p, double eyeW);


}  // namespace tessarine::showgen
