// Drawing meshes on a real GL context: the pixels of textured faces, and what a draw
// leaves behind in GL state.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "headless/headless_gl.h"
#include "mesh/mesh.h"
#include "mesh_fixtures.h"
#include "support/temp_dir.h"

namespace tessarine::mesh {
namespace {

using tessarine::testing::TempDir;

// One pixel row per texture row, so that every pixel centre falls on a texel centre.
constexpr int kWidth = 8;
constexpr int kHeight = 4;
using Rgb = std::array<int, 3>;
// Texture rows bottom first (the file's first row is v = 0): red, green, blue, yellow.
const Rgb kRows[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};

// One pixel wide, four rows tall: an odd width of 3-byte pixels, and no side that GLU
// would rescale. Stored bottom row first, or top row first when `topFirst`.
formats::TgaImage stripeImage(bool topFirst = false) {
  formats::TgaImage image{.width = 1, .height = 4, .pixels = {}};
  for (int k = 0; k < 4; ++k) {
    for (int c = 2; c >= 0; --c) image.pixels.push_back(static_cast<std::uint8_t>(kRows[topFirst ? 3 - k : k][c]));
  }
  return image;
}

// Two quads filling the view side by side. The middle edge's points are stored twice with
// different coordinates: the left quad runs v from 0 up, the right one from 1 down.
formats::ObjectData splitQuads() {
  return {.points = {{-1, -1, 0}, {0, -1, 0}, {0, 1, 0}, {-1, 1, 0}, {0, -1, 0}, {1, -1, 0}, {1, 1, 0}, {0, 1, 0}},
          .uvs = {{0, 0}, {0, 0}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 0}, {0, 0}},
          .polygons = {{0, 1, 2, 3}, {4, 5, 6, 7}}};
}

Rgb pixelAt(const std::vector<std::uint8_t>& pixels, int x, int y) {
  std::size_t at = (static_cast<std::size_t>(y) * kWidth + x) * 4;
  return {pixels[at], pixels[at + 1], pixels[at + 2]};
}

void expectColor(const Rgb& actual, const Rgb& expected) {
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual[c], expected[c], 2) << "channel " << c;
}

class MeshDrawTest : public ::testing::Test {
 protected:
  MeshDrawTest() : gl_(kWidth, kHeight) {
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  headless::HeadlessGl gl_;
  TempDir dir_;
};

TEST_F(MeshDrawTest, TexturedFacesShowTheImageRowsByPointIndex) {
  std::string plain = formats::writeLwo2(splitQuads());
  // The same object with every UV entry's own point field reversed: entries are used by
  // their position in the map, so the picture must not change.
  std::string scrambled = plain;
  std::size_t entries = scrambled.find("TXUV") + 10;
  for (std::uint16_t i = 0; i < 8; ++i) scrambled[entries + 10 * i + 1] = static_cast<char>(7 - i);

  // The same image stored top row first, with the descriptor's origin bit set: it is
  // turned at load, so the picture must not change either.
  std::string topLeft = formats::writeTga(stripeImage(true));
  topLeft[17] = static_cast<char>(topLeft[17] | 0x20);
  for (int variant = 0; variant < 3; ++variant) {
    dir_.write("quads.lwo", variant == 1 ? scrambled : plain);
    dir_.write("quads.tga", variant == 2 ? topLeft : formats::writeTga(stripeImage()));
    Mesh mesh("quads.lwo", dir_.str());
    glClear(GL_COLOR_BUFFER_BIT);
    mesh.draw();
    std::vector<std::uint8_t> pixels = gl_.readPixels();
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE(k);
      expectColor(pixelAt(pixels, 1, k), kRows[k]);
      expectColor(pixelAt(pixels, 6, k), kRows[3 - k]);
    }
  }
}

TEST_F(MeshDrawTest, DrawLeavesItsTextureBoundAndTheLastFacesNormalAndCoordinate) {
  formats::ObjectData tilt = testing::triangleObject();
  tilt.points.push_back({4, 0, -3});
  tilt.uvs.push_back({0.75f, 0.5f});
  tilt.polygons.push_back({1, 0, 3});  // normal (0.6, 0, 0.8), worked by hand
  formats::ObjectData empty = splitQuads(), line = splitQuads();
  empty.polygons = {};
  line.polygons = {{0, 6}};  // a two-point face across the view: no area, so no pixels
  dir_.write("mesh.tga", formats::writeTga(stripeImage()));
  for (const formats::ObjectData* object : {&tilt, &empty, &line}) {
    dir_.write("mesh.lwo", formats::writeLwo2(*object));
    Mesh mesh("mesh.lwo", dir_.str());
    glBindTexture(GL_TEXTURE_2D, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    mesh.draw();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), mesh.texture().id());
    if (object == &tilt) {
      GLfloat state[7] = {};  // the normal, then the texture coordinate
      glGetFloatv(GL_CURRENT_NORMAL, state);
      glGetFloatv(GL_CURRENT_TEXTURE_COORDS, state + 3);
      const float expected[] = {0.6f, 0, 0.8f, 0.75f, 0.5f};
      for (int i = 0; i < 5; ++i) EXPECT_NEAR(state[i], expected[i], 1e-6) << i;
      continue;
    }
    std::vector<std::uint8_t> pixels = gl_.readPixels();
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) expectColor(pixelAt(pixels, x, y), {0, 0, 0});
    }
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  // An image the texture refuses ends the load.
  dir_.write("mesh.tga", formats::writeTga({.width = 2, .height = 1, .bitsPerPixel = 16, .pixels = {0, 0, 0, 0}}));
  EXPECT_EQ(testing::messageOf([&] { Mesh("mesh.lwo", dir_.str()); }), "Unrecognized Image");
}

}  // namespace
}  // namespace tessarine::mesh
