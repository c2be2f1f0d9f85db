// The shape of an object as read from its file, plain data: points, one texture coordinate
// per point, and polygons with face normals whose point indices share one array.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tessarine::mesh {

// Point indices are 16-bit, so a mesh holds at most this many points.
inline constexpr std::uint32_t kMaxPoints = 65535;

struct Point {
  float x = 0, y = 0, z = 0;
};

struct UvEntry {
  std::uint16_t point = 0;  // as stored in the file; coordinates are used by position
  float u = 0;
  float v = 0;
};

struct Polygon {
  std::array<float, 3> normal{};
  std::uint16_t vertexCount = 0;
  std::uint32_t firstIndex = 0;  // offset of its indices in the index array
};

struct Geometry {
  std::vector<Point> points;
  std::vector<UvEntry> uvs;          // one per point, in point order
  std::vector<Polygon> polygons;     // file order
  std::vector<std::uint16_t> indices;

  std::span<const std::uint16_t> indicesOf(const Polygon& polygon) const {
    return std::span<const std::uint16_t>(indices).subspan(polygon.firstIndex, polygon.vertexCount);
  }
};

}  // namespace tessarine::mesh
