// An object's polygons sorted into one batch per surface: every corner its own vertex, faces
// split into fans, normals smoothed within each surface, texture coordinates per corner.
#include "mesh/surface_geometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "mesh/smooth_normals.h"
#include "mesh/uv_projection.h"

namespace tessarine::mesh {
namespace {

constexpr std::uint32_t kUnused = 0xFFFFFFFFu;

bool drawnAsFace(PolygonType type) {
  return type == PolygonType::kFace || type == PolygonType::kPatch || type == PolygonType::kSubdivision;
}

// Its points exist and its indices lie inside the index array.
bool wellFormed(const LightWaveObject& object, const ObjectPolygon& polygon) {
  if (polygon.vertexCount == 0 || polygon.firstIndex > object.indices.size() ||
      polygon.vertexCount > object.indices.size() - polygon.firstIndex) {
    return false;
  }
  const auto corners = object.indicesOf(polygon);
  return std::all_of(corners.begin(), corners.end(), [&](std::uint32_t p) { return p < object.points.size(); });
}

void frame(const LightWaveObject& object, SurfaceGeometry& geometry) {
  bool any = false;
  for (const Point& point : object.points) {
    const std::array<float, 3> p{point.x, point.y, point.z};
    if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) continue;
    for (int axis = 0; axis < 3; ++axis) {
      geometry.boundsMin[axis] = any ? std::min(geometry.boundsMin[axis], p[axis]) : p[axis];
      geometry.boundsMax[axis] = any ? std::max(geometry.boundsMax[axis], p[axis]) : p[axis];
    }
    any = true;
  }
}

}  // namespace

SurfaceGeometry buildSurfaceGeometry(const LightWaveObject& object, std::optional<std::uint32_t> onlyLayer) {
  SurfaceGeometry geometry;
  geometry.defaultSurface.name = "Default";
  frame(object, geometry);

  // Slot s < surfaces.size() is that surface; the last slot holds the polygons without one.
  const auto surfaceCount = static_cast<std::uint32_t>(object.surfaces.size());
  std::vector<std::uint32_t> slotOf(object.polygons.size(), kUnused);
  std::vector<Normal> faceNormals(object.polygons.size(), Normal{});
  std::vector<std::uint32_t> batchOf(surfaceCount + 1, kUnused);
  for (std::uint32_t i = 0; i < object.polygons.size(); ++i) {
    const ObjectPolygon& polygon = object.polygons[i];
    if (onlyLayer && polygon.layer != *onlyLayer) continue;
    if (!drawnAsFace(polygon.type) || !wellFormed(object, polygon)) {
      ++geometry.undrawnPolygons;
      continue;
    }
    slotOf[i] = std::min(polygon.surface, surfaceCount);
    batchOf[slotOf[i]] = 0;
    faceNormals[i] = faceNormal(object.points, object.indicesOf(polygon)).value_or(Normal{});
  }
  for (std::uint32_t slot = 0; slot <= surfaceCount; ++slot) {
    if (batchOf[slot] == kUnused) continue;
    batchOf[slot] = static_cast<std::uint32_t>(geometry.batches.size());
    geometry.batches.emplace_back().surface = slot < surfaceCount ? slot : kNoSurface;
  }
  const std::vector<Normal> normals = cornerNormals(object, faceNormals);

  std::vector<std::optional<CornerUvs>> uvsOf(surfaceCount + 1);
  for (std::uint32_t s = 0; s < surfaceCount; ++s) {
    if (batchOf[s] != kUnused && object.surfaces[s].colorMap) uvsOf[s].emplace(object, *object.surfaces[s].colorMap);
  }
  std::vector<TexCoord> cornerUvs;
  for (std::uint32_t i = 0; i < object.polygons.size(); ++i) {
    if (slotOf[i] == kUnused) continue;
    const ObjectPolygon& polygon = object.polygons[i];
    SurfaceBatch& batch = geometry.batches[batchOf[slotOf[i]]];
    const auto base = static_cast<std::uint32_t>(batch.vertexCount());
    for (std::uint32_t k = 0; k < polygon.vertexCount; ++k) {
      const std::uint32_t index = polygon.firstIndex + k;
      const Point& point = object.points[object.indices[index]];
      batch.positions.insert(batch.positions.end(), {point.x, point.y, point.z});
      batch.normals.insert(batch.normals.end(), normals[index].begin(), normals[index].end());
    }
    if (const auto& uvs = uvsOf[slotOf[i]]) {
      uvs->compute(i, faceNormals[i] == Normal{} ? kFallbackNormal : faceNormals[i], cornerUvs);
      for (const TexCoord& uv : cornerUvs) batch.uvs.insert(batch.uvs.end(), uv.begin(), uv.end());
    }
    if (polygon.vertexCount >= 3) {
      for (std::uint32_t k = 1; k + 1 < polygon.vertexCount; ++k) {
        batch.triangles.insert(batch.triangles.end(), {base, base + k, base + k + 1});
      }
    } else if (polygon.vertexCount == 2) {
      batch.lines.insert(batch.lines.end(), {base, base + 1});
    } else {
      batch.points.push_back(base);
    }
    ++batch.polygonCount;
  }
  return geometry;
}

}  // namespace tessarine::mesh
