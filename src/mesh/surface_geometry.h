// What an object as LightWave writes it draws as, worked out without GL: per surface, vertex
// arrays with one vertex per polygon corner (position, normal as LightWave shades it, texture
// coordinates where the surface has a colour image) and the triangles, lines and points that
// index them, ready for glDrawElements.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "mesh/lightwave_object.h"

namespace tessarine::mesh {

struct SurfaceBatch {
  std::uint32_t surface = kNoSurface;  // into LightWaveObject::surfaces; kNoSurface: the default
  std::vector<float> positions;        // x, y, z per vertex
  std::vector<float> normals;          // x, y, z per vertex, of unit length
  std::vector<float> uvs;              // u, v per vertex; empty when the surface has no colour image
  // Faces as fans from their first point, wound as their points run, as the show's own objects
  // are: front faces reach GL clockwise once the item matrices mirror z.
  std::vector<std::uint32_t> triangles;
  std::vector<std::uint32_t> lines;   // the 2-point polygons
  std::vector<std::uint32_t> points;  // the 1-point polygons
  std::uint32_t polygonCount = 0;

  std::size_t vertexCount() const { return positions.size() / 3; }
};

struct SurfaceGeometry {
  // In surface order, the batch of the polygons without a surface (or naming none the object
  // has) last; surfaces without polygons have none.
  std::vector<SurfaceBatch> batches;
  Surface defaultSurface;  // "Default" with LightWave's values: for the polygons without a surface
  // Over all points of all layers, for framing; zero when there are none.
  std::array<float, 3> boundsMin{0, 0, 0};
  std::array<float, 3> boundsMax{0, 0, 0};
  // Curves, bones, metaballs, types not known, and polygons naming points the object lacks.
  std::size_t undrawnPolygons = 0;
};

// Faces, subdivision patches and Catmull-Clark patches are drawn as faces (a patch by its cage).
// With `onlyLayer` (an index into the object's layers), the polygons of the other layers are left out.
SurfaceGeometry buildSurfaceGeometry(const LightWaveObject& object, std::optional<std::uint32_t> onlyLayer = {});

}  // namespace tessarine::mesh
