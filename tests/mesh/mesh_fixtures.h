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
using tessarine::testing::placeOf;

// A 2 x 2 24-bit image: enough to stand beside an object that a test reads.
inline formats::TgaImage smallImage() { return {.width = 2, .height = 2, .pixels = std::vector<std::uint8_t>(12, 0x80)}; }

// One triangle, wound clockwise as seen from +z after the mirror of z.
inline formats::ObjectData triangleObject() {
  return {.points = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}}, .uvs = {{0, 0}, {0, 1}, {1, 1}}, .polygons = {{0, 1, 2}},
          .imageFile = ""};
}

}  // namespace tessarine::mesh::testing
