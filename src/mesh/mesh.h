// A mesh read from an LWO2 object file: points, one texture coordinate per point,
// polygons with face normals, and the texture made from the object's TGA image.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_identity.h"
#include "mesh/texture.h"

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
  std::uint32_t firstIndex = 0;  // offset of its indices in the mesh's index array
};

class Mesh {
 public:
  // Reads `name` from `directory` ("-" or "": the bare name) and the image beside it.
  // Throws common::Error with the reader's message.
  Mesh(std::string name, std::string_view directory, const TextureMaker& makeTexture = makeGlTexture);

  // Issues every polygon in immediate mode with the mesh's texture bound.
  void draw() const;

  const std::string& name() const { return name_; }
  // The object file read, whatever spelling of its path led there.
  const common::FileIdentity& identity() const { return identity_; }
  std::uint32_t pointCount() const { return static_cast<std::uint32_t>(points_.size()); }
  std::span<const Point> points() const { return points_; }
  std::span<const UvEntry> uvs() const { return uvs_; }
  std::uint32_t polygonCount() const { return static_cast<std::uint32_t>(polygons_.size()); }
  std::span<const Polygon> polygons() const { return polygons_; }
  std::span<const std::uint16_t> indicesOf(const Polygon& polygon) const {
    return std::span<const std::uint16_t>(indices_).subspan(polygon.firstIndex, polygon.vertexCount);
  }
  Texture& texture() { return texture_; }
  const Texture& texture() const { return texture_; }

 private:
  std::string name_;
  common::FileIdentity identity_;
  std::vector<Point> points_;
  std::vector<UvEntry> uvs_;
  std::vector<Polygon> polygons_;  // file order
  std::vector<std::uint16_t> indices_;
  Texture texture_;
};

}  // namespace tessarine::mesh
