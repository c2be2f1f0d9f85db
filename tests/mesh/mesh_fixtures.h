// Objects and images that the mesh tests write at run time, and the helpers to load them.
#pragma once

#include <string>
#include <utility>

#include "common/error.h"
#include "support/error_message.h"
#include "formats/lwo2_writer.h"
#include "formats/tga_writer.h"
#include "mesh/mesh.h"

namespace tessarine::mesh::testing {

using tessarine::testing::messageOf;

// A texture maker for tests without a GL context.
inline Texture noTexture(const Image&, float) { return Texture(); }

// A 2 x 2 24-bit image: enough to stand beside an object that a test reads.
inline formats::TgaImage smallImage() {
  formats::TgaImage image;
  image.width = 2;
  image.height = 2;
  image.bitsPerPixel = 24;
  image.pixels.assign(12, 0x80);
  return image;
}

// One triangle, wound clockwise as seen from +z after the mirror of z.
inline formats::ObjectData triangleObject() {
  formats::ObjectData object;
  object.points = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  object.uvs = {{0, 0}, {0, 1}, {1, 1}};
  object.polygons = {{0, 1, 2}};
  return object;
}

}  // namespace tessarine::mesh::testing
