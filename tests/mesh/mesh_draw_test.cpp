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
// would rescale.
formats::TgaImage stripeImage() {
  formats::TgaImage image;
  image.width = 1;
  image.height = 4;
  image.bitsPerPixel = 24;
  for (const Rgb& row : kRows) {
    image.pixels.push_back(static_cast<std::uint8_t>(row[2]));
    image.pixels.push_back(static_cast<std::uint8_t>(row[1]));
    image.pixels.push_back(static_cast<std::uint8_t>(row[0]));
  }
  return image;
}

// Two quads filling the view side by side. The middle edge's points are stored twice with
// different coordinates: the left quad runs v from 0 up, the right one from 1 down.
formats::ObjectData splitQuads() {
  formats::ObjectData object;
  object.points = {{-1, -1, 0}, {0, -1, 0}, {0, 1, 0}, {-1, 1, 0},
                   {0, -1, 0},  {1, -1, 0}, {1, 1, 0}, {0, 1, 0}};
  object.uvs = {{0, 0}, {0, 0}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 0}, {0, 0}};
  object.polygons = {{0, 1, 2, 3}, {4, 5, 6, 7}};
  return object;
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

  dir_.write("quads.tga", formats::writeTga(stripeImage()));
  for (bool scramble : {false, true}) {
    SCOPED_TRACE(scramble ? "scrambled" : "plain");
    dir_.write("quads.lwo", scramble ? scrambled : plain);
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
  formats::ObjectData object = testing::triangleObject();
  object.points.push_back({4, 0, -3});
  object.uvs.push_back({0.75f, 0.5f});
  object.polygons.push_back({1, 0, 3});  // normal (0.6, 0, 0.8), worked by hand
  dir_.write("tilt.lwo", formats::writeLwo2(object));
  dir_.write("tilt.tga", formats::writeTga(testing::smallImage()));
  Mesh mesh("tilt.lwo", dir_.str());
  glBindTexture(GL_TEXTURE_2D, 0);
  mesh.draw();
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<unsigned>(bound), mesh.texture().id());
  GLfloat normal[3] = {}, coordinate[4] = {};
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, coordinate);
  EXPECT_NEAR(normal[0], 0.6f, 1e-6);
  EXPECT_NEAR(normal[1], 0.0f, 1e-6);
  EXPECT_NEAR(normal[2], 0.8f, 1e-6);
  EXPECT_FLOAT_EQ(coordinate[0], 0.75f);
  EXPECT_FLOAT_EQ(coordinate[1], 0.5f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshDrawTest, MeshesWithoutAreaBindTheirTextureAndDrawNothing) {
  formats::ObjectData object = splitQuads();
  struct Case {
    const char* name;
    std::vector<std::vector<std::uint16_t>> polygons;
  } cases[] = {{"no polygons", {}}, {"a two-point face across the view", {{0, 6}}}};
  dir_.write("flat.tga", formats::writeTga(stripeImage()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    object.polygons = c.polygons;
    dir_.write("flat.lwo", formats::writeLwo2(object));
    Mesh mesh("flat.lwo", dir_.str());
    glBindTexture(GL_TEXTURE_2D, 0);
    mesh.draw();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), mesh.texture().id());
    std::vector<std::uint8_t> pixels = gl_.readPixels();
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) expectColor(pixelAt(pixels, x, y), {0, 0, 0});
    }
  }
}

TEST_F(MeshDrawTest, ImagesTheTextureRefusesEndTheLoad) {
  dir_.write("deep.lwo", formats::writeLwo2(testing::triangleObject()));
  formats::TgaImage image;
  image.width = 2;
  image.height = 1;
  image.bitsPerPixel = 16;
  image.pixels.assign(4, 0);
  dir_.write("deep.tga", formats::writeTga(image));
  EXPECT_EQ(testing::messageOf([&] { Mesh("deep.lwo", dir_.str()); }), "Unrecognized Image");
}

}  // namespace
}  // namespace tessarine::mesh
