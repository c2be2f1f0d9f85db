// Face and corner normals as LightWave shades them. The corners to smooth are sorted by point
// and surface once, so each corner compares its polygon with at most kMaxSmoothingNeighbours.
#include "mesh/smooth_normals.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace tessarine::mesh {
namespace {

// Double precision: no product of two float differences overflows or vanishes.
using Vector = std::array<double, 3>;

Vector difference(const Point& a, const Point& b) {
  return {double{a.x} - b.x, double{a.y} - b.y, double{a.z} - b.z};
}

Vector cross(const Vector& a, const Vector& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

std::optional<Normal> unit(const Vector& v) {
  const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (!(length > 0) || !std::isfinite(length)) return std::nullopt;
  return Normal{static_cast<float>(v[0] / length), static_cast<float>(v[1] / length),
                static_cast<float>(v[2] / length)};
}

float dot(const Normal& a, const Normal& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

struct SmoothedCorner {
  std::uint32_t point = 0;
  std::uint32_t surface = 0;
  std::uint32_t polygon = 0;
  std::uint32_t index = 0;  // into LightWaveObject::indices

  auto key() const { return std::tie(point, surface, polygon, index); }
};

}  // namespace

std::optional<Normal> faceNormal(std::span<const Point> points, std::span<const std::uint32_t> corners) {
  if (corners.size() < 3) return std::nullopt;
  const Point& first = points[corners[0]];
  if (auto normal = unit(cross(difference(points[corners[1]], first), difference(points[corners.back()], first)))) {
    return normal;
  }
  Vector sum{0, 0, 0};
  for (std::size_t k = 0; k < corners.size(); ++k) {
    const Point& a = points[corners[k]];
    const Point& b = points[corners[(k + 1) % corners.size()]];
    sum[0] += (double{a.y} - b.y) * (double{a.z} + b.z);
    sum[1] += (double{a.z} - b.z) * (double{a.x} + b.x);
    sum[2] += (double{a.x} - b.x) * (double{a.y} + b.y);
  }
  return unit(sum);
}

std::vector<Normal> cornerNormals(const LightWaveObject& object, std::span<const Normal> faceNormals) {
  std::vector<Normal> normals(object.indices.size(), kFallbackNormal);
  std::vector<SmoothedCorner> smoothed;
  for (std::uint32_t i = 0; i < faceNormals.size(); ++i) {
    if (faceNormals[i] == Normal{}) continue;
    const ObjectPolygon& polygon = object.polygons[i];
    const bool smooth = polygon.surface < object.surfaces.size() &&
                        object.surfaces[polygon.surface].smoothingAngle.value_or(0) > 0;
    for (std::uint32_t k = 0; k < polygon.vertexCount; ++k) {
      const std::uint32_t index = polygon.firstIndex + k;
      normals[index] = faceNormals[i];
      if (smooth) smoothed.push_back({object.indices[index], polygon.surface, i, index});
    }
  }
  std::sort(smoothed.begin(), smoothed.end(), [](const auto& a, const auto& b) { return a.key() < b.key(); });

  for (auto begin = smoothed.begin(); begin != smoothed.end();) {
    auto end = std::find_if(begin, smoothed.end(), [&](const SmoothedCorner& c) {
      return c.point != begin->point || c.surface != begin->surface;
    });
    const auto cosine = static_cast<float>(std::cos(*object.surfaces[begin->surface].smoothingAngle));
    const auto compared = begin + std::min<std::ptrdiff_t>(end - begin, kMaxSmoothingNeighbours);
    for (auto corner = begin; corner != end; ++corner) {
      const Normal& own = faceNormals[corner->polygon];
      Vector sum{own[0], own[1], own[2]};
      for (auto other = begin; other != compared; ++other) {
        // A polygon counts once, however often it passes through the point.
        if (other->polygon == corner->polygon || (other != begin && other->polygon == (other - 1)->polygon)) continue;
        const Normal& normal = faceNormals[other->polygon];
        if (dot(own, normal) < cosine) continue;
        for (int axis = 0; axis < 3; ++axis) sum[axis] += normal[axis];
      }
      normals[corner->index] = unit(sum).value_or(own);
    }
    begin = end;
  }
  return normals;
}

}  // namespace tessarine::mesh
