// A mesh read from an LWO2 object file: its geometry, and the texture made from the
// object's TGA image.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/file_identity.h"
#include "mesh/geometry.h"
#include "mesh/texture.h"

namespace tessarine::mesh {

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
  const Geometry& geometry() const { return geometry_; }
  std::uint32_t pointCount() const { return static_cast<std::uint32_t>(geometry_.points.size()); }
  std::span<const Point> points() const { return geometry_.points; }
  std::span<const UvEntry> uvs() const { return geometry_.uvs; }
  std::uint32_t polygonCount() const { return static_cast<std::uint32_t>(geometry_.polygons.size()); }
  std::span<const Polygon> polygons() const { return geometry_.polygons; }
  std::span<const std::uint16_t> indicesOf(const Polygon& polygon) const { return geometry_.indicesOf(polygon); }
  Texture& texture() { return texture_; }
  const Texture& texture() const { return texture_; }

 private:
  std::string name_;
  common::FileIdentity identity_;
  Geometry geometry_;
  Texture texture_;
};

}  // namespace tessarine::mesh
