// Collects points, texture coordinates and polygons into an LWO2 object. Every polygon is
// wound so that the player, which mirrors z and takes clockwise faces as front faces,
// shows it from the side its outward direction points to.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/lwo2_writer.h"
#include "showgen/vec.h"

namespace tessarine::showgen {

// Point indices go into the 2-byte form of the file, which the player reads; the writer
// switches to a longer form from this index on.
inline constexpr std::size_t kMaxMeshPoints = 0xFF00;

class MeshBuilder {
 public:
  // A new point with its texture coordinate; its index. Throws common::Error past
  // kMaxMeshPoints.
  std::uint16_t point(const Vec3& position, double u, double v);
  // A polygon through `indices`, turned around when needed so that its face normal, as
  // the player computes it from the first three points, points along `outward`.
  // Consecutive points at the same position are dropped (poles, closed fans).
  void polygon(std::vector<std::uint16_t> indices, const Vec3& outward);
  // A grid of cellsU x cellsV quads over the parameter square [0, 1]^2: `surface` gives
  // the position and `outward` the side to face at each parameter pair; texture
  // coordinates are the parameters times `uvScale`.
  void grid(int cellsU, int cellsV, const std::function<Vec3(double, double)>& surface,
            const std::function<Vec3(double, double)>& outward, double uvScaleU = 1, double uvScaleV = 1);

  std::size_t pointCount() const { return object_.points.size(); }
  std::size_t polygonCount() const { return object_.polygons.size(); }
  const Vec3& position(std::uint16_t index) const { return positions_[index]; }

  // The object, with its surface naming `imageFile`.
  formats::ObjectData take(const std::string& surfaceName, const std::string& imageFile);

 private:
  formats::ObjectData object_;
  std::vector<Vec3> positions_;
};

// The face normal the player computes from a polygon's first three points P0, P1, P2:
// (P1 - P0) x (P2 - P1), normalised.
Vec3 playerFaceNormal(const Vec3& p0, const Vec3& p1, const Vec3& p2);

}  // namespace tessarine::showgen
