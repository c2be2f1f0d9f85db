// LightWave's image projections and UV map look-ups. Each axis is oriented as LightWave orients
// it: a planar image reads upright seen from +x, from +y (its top towards +z) and from -z; a
// cylinder's or sphere's image has its top towards the axis's positive end, its middle facing
// -z for the y axis and +y for the x and z axes, and its seam opposite.
#include "mesh/uv_projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessarine::mesh {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// A size of zero (or not a number) would send every corner to infinity.
float usable(float size) { return size != 0 && std::isfinite(size) ? size : 1; }

}  // namespace

int dominantAxis(const Normal& normal) {
  const float x = std::abs(normal[0]), y = std::abs(normal[1]), z = std::abs(normal[2]);
  if (x > y) return x > z ? 0 : 2;
  return y > z ? 1 : 2;
}

UvProjection::UvProjection(const ColorMap& map) : map_(map) {
  // LightWave turns by bank (about z), then pitch (about x), then heading (about y); positive
  // angles turn +z towards +x (heading), +z towards -y (pitch) and +x towards +y (bank). The
  // rows of that rotation are the columns of its inverse.
  const double ch = std::cos(map.rotation[0]), sh = std::sin(map.rotation[0]);
  const double cp = std::cos(map.rotation[1]), sp = std::sin(map.rotation[1]);
  const double cb = std::cos(map.rotation[2]), sb = std::sin(map.rotation[2]);
  const double rotation[3][3] = {{ch * cb + sh * sp * sb, -ch * sb + sh * sp * cb, sh * cp},
                                 {cp * sb, cp * cb, -sp},
                                 {-sh * cb + ch * sp * sb, sh * sb + ch * sp * cb, ch * cp}};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) inverseRotation_[r][c] = static_cast<float>(rotation[c][r]);
  }
}

TexCoord UvProjection::at(const Point& point, int cubicAxis) const {
  const float offset[3] = {point.x - map_.center[0], point.y - map_.center[1], point.z - map_.center[2]};
  float p[3];
  for (int r = 0; r < 3; ++r) {
    p[r] = inverseRotation_[r][0] * offset[0] + inverseRotation_[r][1] * offset[1] + inverseRotation_[r][2] * offset[2];
  }
  const float x = p[0], y = p[1], z = p[2];
  Projection projection = map_.projection;
  int axis = map_.axis;
  if (projection == Projection::kCubic) {
    projection = Projection::kPlanar;
    axis = cubicAxis;
  } else if (projection == Projection::kFront) {
    projection = Projection::kPlanar;
    axis = 2;
  }
  axis = std::clamp(axis, 0, 2);
  const auto& size = map_.size;
  if (projection == Projection::kPlanar) {
    if (axis == 0) return {z / usable(size[2]) + 0.5f, y / usable(size[1]) + 0.5f};
    if (axis == 1) return {x / usable(size[0]) + 0.5f, z / usable(size[2]) + 0.5f};
    return {x / usable(size[0]) + 0.5f, y / usable(size[1]) + 0.5f};
  }
  // A UV map names no map the object has: every corner takes (0, 0).
  if (projection != Projection::kCylindrical && projection != Projection::kSpherical) return {0, 0};
  // The angle about the axis, zero where the image's middle faces, and the distance along it.
  const float angle = axis == 0 ? std::atan2(-z, y) : axis == 1 ? std::atan2(x, -z) : std::atan2(x, y);
  const float along = p[axis];
  const float u = (0.5f + angle / (2 * kPi)) * map_.widthWrapAmount;
  if (projection == Projection::kCylindrical) return {u, along / usable(size[axis]) + 0.5f};
  const float radius = axis == 0 ? std::hypot(y, z) : axis == 1 ? std::hypot(x, z) : std::hypot(x, y);
  return {u, (0.5f + std::atan2(along, radius) / kPi) * map_.heightWrapAmount};
}

void UvProjection::joinSeam(std::span<TexCoord> corners) const {
  const float turn = map_.widthWrapAmount;
  const bool wraps = map_.projection == Projection::kCylindrical || map_.projection == Projection::kSpherical;
  if (!wraps || corners.empty() || !(turn > 0) || !std::isfinite(turn)) return;
  const float first = corners[0][0];
  for (TexCoord& corner : corners) corner[0] -= turn * std::round((corner[0] - first) / turn);
}

CornerUvs::CornerUvs(const LightWaveObject& object, const ColorMap& map) : object_(object), projection_(map) {
  if (map.projection != Projection::kUv) return;
  uvMap_ = object.findUvMap(map.uvMap);
  if (uvMap_ == nullptr) return;
  pointEntry_.assign(object.points.size(), kNone);
  for (std::uint32_t i = 0; i < uvMap_->points.size(); ++i) {
    if (uvMap_->points[i].point < pointEntry_.size()) pointEntry_[uvMap_->points[i].point] = i;
  }
  cornerEntry_.resize(uvMap_->corners.size());
  for (std::uint32_t i = 0; i < cornerEntry_.size(); ++i) cornerEntry_[i] = i;
  std::stable_sort(cornerEntry_.begin(), cornerEntry_.end(), [&](std::uint32_t a, std::uint32_t b) {
    const UvCorner& x = uvMap_->corners[a];
    const UvCorner& y = uvMap_->corners[b];
    return x.polygon != y.polygon ? x.polygon < y.polygon : x.point < y.point;
  });
}

void CornerUvs::compute(std::uint32_t number, const Normal& normal, std::vector<TexCoord>& out) const {
  const std::span<const std::uint32_t> points = object_.indicesOf(object_.polygons[number]);
  out.clear();
  if (uvMap_ != nullptr) {
    const auto before = [&](std::uint32_t entry, std::uint32_t point) {
      const UvCorner& corner = uvMap_->corners[entry];
      return corner.polygon != number ? corner.polygon < number : corner.point < point;
    };
    for (const std::uint32_t point : points) {
      const auto found = std::lower_bound(cornerEntry_.begin(), cornerEntry_.end(), point, before);
      const UvCorner* own = found == cornerEntry_.end() ? nullptr : &uvMap_->corners[*found];
      if (own != nullptr && own->polygon == number && own->point == point) {
        out.push_back({own->u, own->v});
      } else if (pointEntry_[point] != kNone) {
        out.push_back({uvMap_->points[pointEntry_[point]].u, uvMap_->points[pointEntry_[point]].v});
      } else {
        out.push_back({0, 0});
      }
    }
    return;
  }
  const int axis = dominantAxis(normal);
  for (const std::uint32_t point : points) out.push_back(projection_.at(object_.points[point], axis));
  projection_.joinSeam(out);
}

}  // namespace tessarine::mesh
