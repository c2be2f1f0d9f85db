// A mesh: an object's geometry and the TGA image read beside it, as plain data, and the
// texture made from the image once the whole show is read (see mesh_textures.h); or an object
// as LightWave writes it, drawn by its surfaces (see lightwave_mesh.h).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "common/file_identity.h"
#include "mesh/geometry.h"
#include "mesh/image.h"
#include "mesh/surface_model.h"
#include "mesh/texture.h"

namespace tessarine::mesh {

class Mesh {
 public:
  // `identity` is that of the object file read, when there was one.
  Mesh(std::string name, Geometry geometry, Image image, common::FileIdentity identity = {});
  // A LightWave object: no geometry or image of the show's kind, only its surfaces.
  Mesh(std::string name, SurfaceModel surfaces, common::FileIdentity identity = {});

  // Makes the texture from the image (or the surfaces' textures), with the priority the
  // texture holds by then, and lets the pixels go: GL keeps its own copy. Needs a current GL
  // context; a mesh that has its texture keeps it. Throws common::Error when GL refuses the image.
  void makeTexture();
  // Issues every polygon in immediate mode with the mesh's texture bound; a LightWave object
  // draws its surfaces instead (SurfaceModel::draw).
  void draw() const;

  const std::string& name() const { return name_; }
  // The object file read, whatever spelling of its path led there.
  const common::FileIdentity& identity() const { return identity_; }
  const Geometry& geometry() const { return geometry_; }
  std::uint32_t pointCount() const { return static_cast<std::uint32_t>(geometry_.points.size()); }
  std::span<const Point> points() const { return geometry_.points; }
  std::span<const UvEntry> uvs() const { return geometry_.uvs; }
  // The polygons drawn: a LightWave object's are those of its surfaces.
  std::uint32_t polygonCount() const;
  std::span<const Polygon> polygons() const { return geometry_.polygons; }
  std::span<const std::uint16_t> indicesOf(const Polygon& polygon) const { return geometry_.indicesOf(polygon); }
  // Its pixels until the texture is made.
  const Image& image() const { return image_; }
  Texture& texture() { return texture_; }
  const Texture& texture() const { return texture_; }
  // The priority of every texture the mesh draws with (its surfaces' images too), made or not.
  void setTexturePriority(float priority);
  // Null for the show's own objects.
  const SurfaceModel* surfaces() const { return surfaces_.get(); }

 private:
  std::string name_;
  common::FileIdentity identity_;
  Geometry geometry_;
  Image image_;
  Texture texture_;
  std::unique_ptr<SurfaceModel> surfaces_;
};

// Reads the object file `name` from `directory` ("-" or "": the bare name) and the image
// beside it (common::imagePathFor). Touches no GL. Throws common::Error with the reader's
// message; messages name the joined paths.
std::unique_ptr<Mesh> loadMesh(std::string name, std::string_view directory);

}  // namespace tessarine::mesh
