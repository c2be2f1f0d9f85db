// Point and polygon collection with the winding the player expects.
#include "showgen/mesh_builder.h"

#include <algorithm>

#include "common/error.h"

namespace tessarine::showgen {

Vec3 playerFaceNormal(const Vec3& p0, const Vec3& p1, const Vec3& p2) {
  // The reader takes A = P0 - P1, B = P2 - P1 and the normal -(A x B), which is this.
  return (p1 - p0).cross(p2 - p1).normalized();
}

std::uint16_t MeshBuilder::point(const Vec3& position, double u, double v) {
  if (object_.points.size() >= kMaxMeshPoints) throw common::Error("Too many points for one object");
  object_.points.push_back(position.toFloat());
  object_.uvs.push_back({static_cast<float>(u), static_cast<float>(v)});
  positions_.push_back(position);
  return static_cast<std::uint16_t>(object_.points.size() - 1);
}

void MeshBuilder::polygon(std::vector<std::uint16_t> indices, const Vec3& outward) {
  std::vector<std::uint16_t> kept;
  for (std::uint16_t index : indices) {
    if (!kept.empty() && (positions_[kept.back()] - positions_[index]).length() == 0) continue;
    kept.push_back(index);
  }
  while (kept.size() > 1 && (positions_[kept.front()] - positions_[kept.back()]).length() == 0) kept.pop_back();
  if (kept.size() < 3) return;
  // Newell's normal of the whole polygon decides the turn; the player's three-point
  // normal agrees with it for the convex faces the makers produce.
  Vec3 newell;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const Vec3& a = positions_[kept[i]];
    const Vec3& b = positions_[kept[(i + 1) % kept.size()]];
    newell = newell + Vec3{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)};
  }
  if (newell.dot(outward) < 0) std::reverse(kept.begin(), kept.end());
  object_.polygons.push_back(std::move(kept));
}

void MeshBuilder::grid(int cellsU, int cellsV, const std::function<Vec3(double, double)>& surface,
                       const std::function<Vec3(double, double)>& outward, double uvScaleU, double uvScaleV) {
  std::size_t base = pointCount();
  for (int j = 0; j <= cellsV; ++j) {
    for (int i = 0; i <= cellsU; ++i) {
      double u = static_cast<double>(i) / cellsU, v = static_cast<double>(j) / cellsV;
      point(surface(u, v), u * uvScaleU, v * uvScaleV);
    }
  }
  auto at = [&](int i, int j) { return static_cast<std::uint16_t>(base + static_cast<std::size_t>(j) * (cellsU + 1) + i); };
  for (int j = 0; j < cellsV; ++j) {
    for (int i = 0; i < cellsU; ++i) {
      double u = (i + 0.5) / cellsU, v = (j + 0.5) / cellsV;
      polygon({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)}, outward(u, v));
    }
  }
}

formats::ObjectData MeshBuilder::take(const std::string& surfaceName, const std::string& imageFile) {
  object_.surfaceName = surfaceName;
  object_.imageFile = imageFile;
  formats::ObjectData out = std::move(object_);
  object_ = {};
  positions_.clear();
  return out;
}

}  // namespace tessarine::showgen
