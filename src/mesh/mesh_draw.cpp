// Drawing a mesh in immediate mode: one GL polygon per face, one normal per face, and
// each vertex's texture coordinate taken by its point index.
#include <GL/gl.h>

#include "mesh/mesh.h"

namespace tessarine::mesh {

std::uint32_t Mesh::polygonCount() const {
  if (!surfaces_) return static_cast<std::uint32_t>(geometry_.polygons.size());
  std::uint32_t count = 0;
  for (const SurfaceBatch& batch : surfaces_->geometry.batches) count += batch.polygonCount;
  return count;
}

void Mesh::draw() const {
  if (surfaces_) {
    surfaces_->draw();
    return;
  }
  glBindTexture(GL_TEXTURE_2D, texture_.id());
  for (const Polygon& polygon : geometry_.polygons) {
    glBegin(GL_POLYGON);
    glNormal3f(polygon.normal[0], polygon.normal[1], polygon.normal[2]);
    // The reader has checked every index against the point count.
    for (std::uint16_t k : indicesOf(polygon)) {
      const UvEntry& uv = geometry_.uvs[k];
      glTexCoord2f(uv.u, uv.v);
      const Point& p = geometry_.points[k];
      glVertex3f(p.x, p.y, p.z);
    }
    glEnd();
  }
}

}  // namespace tessarine::mesh
