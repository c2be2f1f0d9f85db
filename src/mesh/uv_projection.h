// Where a surface's colour image lands on the corners of its polygons, as LightWave places it:
// from a UV map by name (a polygon's own corner entries over the points' entries), or by a
// planar, cylindrical, spherical, cubic or front projection about the map's centre, turned by
// its rotation and scaled by its size.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "mesh/lightwave_object.h"
#include "mesh/smooth_normals.h"

namespace tessarine::mesh {

// u across the image from its left edge, v up it from its bottom edge: GL's s and t for an
// image stored bottom row first (mesh::Image), so pictures stand upright. One image spans 0..1.
using TexCoord = std::array<float, 2>;

// 0, 1 or 2: the axis a normal points most along; a tie goes to the later axis, as LightWave
// picks the face of a cubic projection.
int dominantAxis(const Normal& normal);

// A projection with its inverse rotation worked out once.
class UvProjection {
 public:
  explicit UvProjection(const ColorMap& map);

  // The coordinates of `point`; `cubicAxis` is the axis of a cubic projection's face (the
  // polygon's dominantAxis). Front projection is taken as planar along z.
  TexCoord at(const Point& point, int cubicAxis) const;
  // Moves the u of a cylinder's or sphere's corners by whole turns of the image so that all lie
  // within half a turn of the first: a polygon across the seam then shows a narrow strip of
  // the image instead of all of it backwards.
  void joinSeam(std::span<TexCoord> corners) const;

 private:
  ColorMap map_;
  std::array<std::array<float, 3>, 3> inverseRotation_{};
};

// The coordinates of every corner of the polygons of one surface.
class CornerUvs {
 public:
  CornerUvs(const LightWaveObject& object, const ColorMap& map);

  // `out` gets one entry per corner of polygon `number`, in order; `normal` is its face
  // normal. A point the UV map does not cover gets (0, 0).
  void compute(std::uint32_t number, const Normal& normal, std::vector<TexCoord>& out) const;

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  const LightWaveObject& object_;
  UvProjection projection_;
  const UvMap* uvMap_ = nullptr;  // for a kUv map that names a map the object has
  std::vector<std::uint32_t> pointEntry_;  // per point: into uvMap_->points, or kNone
  std::vector<std::uint32_t> cornerEntry_;  // into uvMap_->corners, sorted by polygon and point
};

}  // namespace tessarine::mesh
