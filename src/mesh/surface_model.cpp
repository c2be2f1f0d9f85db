// The GL side of a LightWave object: its textures, and its batches drawn by vertex arrays with
// each surface's material in the fixed-function terms LightWave's shading maps onto.
#include "mesh/surface_model.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace tessarine::mesh {
namespace {

// GL's largest specular exponent; LightWave's glossiness reaches 4096.
constexpr float kMaxShininess = 128;
constexpr float kBlack[4] = {0, 0, 0, 1};
// GL's initial back diffuse, which only a two-sided batch changes.
constexpr float kInitialDiffuse[4] = {0.8f, 0.8f, 0.8f, 1};

GLint wrapOf(WrapMode mode) {
  // An image past its edge shows its edge where LightWave shows it or nothing; cylinders and
  // spheres rely on repeating across their seam.
  return mode == WrapMode::kEdge || mode == WrapMode::kReset ? GL_CLAMP_TO_EDGE : GL_REPEAT;
}

void setMaterial(const Surface& surface, bool textured) {
  // An image takes the place of the surface's colour, as LightWave's colour layer does; the
  // texture modulates the lit colour, so its base is white.
  std::array<float, 3> base = textured ? std::array<float, 3>{1, 1, 1} : surface.color;
  const float alpha = std::clamp(1 - surface.transparency, 0.0f, 1.0f);
  // Colour material turns the current colour into the diffuse reflectance: colour x diffuse.
  glColor4f(base[0] * surface.diffuse, base[1] * surface.diffuse, base[2] * surface.diffuse, alpha);
  const float emission[4] = {base[0] * surface.luminosity, base[1] * surface.luminosity,
                             base[2] * surface.luminosity, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
  // LightWave's highlights are white unless a surface asks for colour highlights.
  const float specular[4] = {surface.specular, surface.specular, surface.specular, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS,
              std::min(std::exp2(10 * std::clamp(surface.glossiness, 0.0f, 1.0f) + 2), kMaxShininess));
}

// The image batch `b` shows, or null when it draws in its plain colour. A model filled by hand
// may leave a batch without its entry, or its coordinates.
const SurfaceImage* imageOf(const SurfaceModel& model, std::size_t b) {
  const SurfaceBatch& batch = model.geometry.batches[b];
  const std::uint32_t at = b < model.imageOfBatch.size() ? model.imageOfBatch[b] : kNoImage;
  const bool mapped = batch.surface < model.surfaces.size() && model.surfaces[batch.surface].colorMap &&
                      batch.uvs.size() == 2 * batch.vertexCount();
  return mapped && at < model.images.size() ? &model.images[at] : nullptr;
}

void drawIndices(GLenum mode, const std::vector<std::uint32_t>& indices) {
  if (!indices.empty()) glDrawElements(mode, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
}

}  // namespace

void SurfaceModel::makeTextures(float priority) {
  for (SurfaceImage& image : images) {
    if (image.texture.id() != 0) continue;
    image.texture = Texture(image.image, priority);
    image.image.pixels = {};
  }
  bool plain = false;
  for (std::size_t b = 0; b < geometry.batches.size(); ++b) plain = plain || imageOf(*this, b) == nullptr;
  if (plain && white.id() == 0) {
    Image pixel;
    pixel.width = pixel.height = 1;
    pixel.bitsPerPixel = 24;
    pixel.pixels = {255, 255, 255};
    white = Texture(pixel, priority);
  }
}

void SurfaceModel::draw() const {
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  for (std::size_t b = 0; b < geometry.batches.size(); ++b) {
    const SurfaceBatch& batch = geometry.batches[b];
    const Surface& surface = batch.surface < surfaces.size() ? surfaces[batch.surface] : geometry.defaultSurface;
    const SurfaceImage* image = imageOf(*this, b);
    const bool textured = image != nullptr;
    glBindTexture(GL_TEXTURE_2D, textured ? image->texture.id() : white.id());
    if (textured) {
      // Wrap belongs to the texture object, and two surfaces may place one image differently.
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapOf(surface.colorMap->widthWrap));
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapOf(surface.colorMap->heightWrap));
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, 0, batch.uvs.data());
    } else {
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glVertexPointer(3, GL_FLOAT, 0, batch.positions.data());
    glNormalPointer(GL_FLOAT, 0, batch.normals.data());
    setMaterial(surface, textured);
    if (surface.doubleSided) {
      glDisable(GL_CULL_FACE);
      glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
      glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    }
    drawIndices(GL_TRIANGLES, batch.triangles);
    if (surface.doubleSided) {
      glColorMaterial(GL_FRONT, GL_DIFFUSE);
      glMaterialfv(GL_BACK, GL_DIFFUSE, kInitialDiffuse);
      glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
      glEnable(GL_CULL_FACE);
    }
    if (!batch.lines.empty() || !batch.points.empty()) {
      // A line or a point has no face to light: it shows its colour as it is.
      glDisable(GL_LIGHTING);
      const std::array<float, 3>& color = textured ? std::array<float, 3>{1, 1, 1} : surface.color;
      glColor4f(color[0], color[1], color[2], std::clamp(1 - surface.transparency, 0.0f, 1.0f));
      drawIndices(GL_LINES, batch.lines);
      drawIndices(GL_POINTS, batch.points);
      glEnable(GL_LIGHTING);
    }
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glColor4f(1, 1, 1, 1);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, kBlack);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kBlack);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
}

}  // namespace tessarine::mesh
