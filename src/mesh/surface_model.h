// A LightWave object as a mesh draws it: the per-surface batches, the surfaces' shading values,
// each image file once, and the textures made from them in the show's one texture step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mesh/image.h"
#include "mesh/lightwave_object.h"
#include "mesh/surface_geometry.h"
#include "mesh/texture.h"

namespace tessarine::mesh {

inline constexpr std::uint32_t kNoImage = 0xFFFFFFFFu;

struct SurfaceImage {
  std::string path;  // the file read
  Image image;       // its pixels until the texture is made
  Texture texture;
};

struct SurfaceModel {
  SurfaceGeometry geometry;
  std::vector<Surface> surfaces;            // as the object has them; batches index them
  std::vector<SurfaceImage> images;         // each file once
  std::vector<std::uint32_t> imageOfBatch;  // per batch, into images; kNoImage: drawn in its plain colour
  Texture white;  // 1 x 1 white, bound for the batches without an image: texturing stays on

  // Makes every texture not made yet, with `priority`, and lets the pixels go. Needs a current
  // GL context; throws common::Error when GL refuses an image.
  void makeTextures(float priority);
  // Draws each batch with its surface's material by vertex arrays, then leaves the state as the
  // render state sets it for the show's meshes: white colour, no emission or specular, lighting
  // and culling of back faces on, one-sided lighting, colour material on front diffuse, no
  // client arrays enabled.
  void draw() const;
};

}  // namespace tessarine::mesh
