// The normals LightWave shades polygons with: each face's normal from its first, second and
// last points, and at each corner the average of the normals of the polygons of the same
// surface that share the point and lie within the surface's smoothing angle.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "mesh/lightwave_object.h"

namespace tessarine::mesh {

using Normal = std::array<float, 3>;

// What a polygon that spans no area, or a line or a point, is lit with.
inline constexpr Normal kFallbackNormal{0, 1, 0};
// A point shared by more polygons than this is smoothed over the first this many of each
// surface (in file order), so that a huge fan costs linear, not quadratic, time.
inline constexpr std::uint32_t kMaxSmoothingNeighbours = 128;

// (p1 - p0) x (pN-1 - p0), normalised: it faces the side from which the points run clockwise
// in LightWave's left-handed space. When those three points are in line, the normal of the
// whole outline (Newell's sum); none when the polygon spans no area or a point is not finite.
std::optional<Normal> faceNormal(std::span<const Point> points, std::span<const std::uint32_t> corners);

// One unit normal per entry of object.indices. `faceNormals` holds one per polygon: a zero
// vector for a polygon that takes no part (not drawn as a face, or no area); its corners get
// kFallbackNormal. A surface without a smoothing angle above zero is flat.
std::vector<Normal> cornerNormals(const LightWaveObject& object, std::span<const Normal> faceNormals);

}  // namespace tessarine::mesh
