// Textures on a real GL context: the upload, its filters and mipmaps, the priority, and
// the name's release. Rows, alignment and 24-bit colour order show in the mesh pixels.
#include "mesh/texture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <tuple>
#include <vector>

#include "headless/headless_gl.h"
#include "mesh_fixtures.h"

namespace tessarine::mesh {
namespace {

using testing::messageOf;

Image imageOf(std::uint16_t width, std::uint16_t height, std::uint8_t bitsPerPixel, std::vector<unsigned char> pixels) {
  Image image;
  std::tie(image.width, image.height, image.bitsPerPixel, image.pixels) = std::tie(width, height, bitsPerPixel, pixels);
  return image;
}

GLint level(GLint level, GLenum name) {
  GLint value = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
  return value;
}

GLfloat priority() {
  GLfloat value = 0;
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &value);
  return value;
}

TEST(TextureTest, BuildsTheMipmapChainWithItsFiltersAndPriority) {
  headless::HeadlessGl gl(4, 4);
  // 100 x 60 is no power of two on either side: GLU scales it before building the chain.
  Texture texture(imageOf(100, 60, 24, std::vector<unsigned char>(100 * 60 * 3, 0x40)), 0.5f);
  GLint state[3] = {};
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &state[0]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &state[1]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &state[2]);
  EXPECT_EQ(std::vector<GLint>(state, state + 3),
            (std::vector<GLint>{static_cast<GLint>(texture.id()), GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR}));
  EXPECT_EQ(level(0, GL_TEXTURE_INTERNAL_FORMAT), 3);
  const GLint width = level(0, GL_TEXTURE_WIDTH), height = level(0, GL_TEXTURE_HEIGHT);
  EXPECT_TRUE(std::has_single_bit(static_cast<unsigned>(width)) && std::has_single_bit(static_cast<unsigned>(height)));
  const GLint last = std::bit_width(static_cast<unsigned>(std::max(width, height))) - 1;
  EXPECT_EQ(std::tuple(level(last, GL_TEXTURE_WIDTH), level(last, GL_TEXTURE_HEIGHT)), std::tuple(1, 1));
  EXPECT_EQ(priority(), 0.5f);
  texture.setPriority(0.8f);
  EXPECT_EQ(priority(), 0.8f);

  // 32 bits: blue, green, red, alpha become red, green, blue, alpha.
  Texture rgba(imageOf(2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8}), 0.5f);
  EXPECT_EQ(level(0, GL_TEXTURE_INTERNAL_FORMAT), 4);
  std::vector<unsigned char> read(8);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
  EXPECT_EQ(read, (std::vector<unsigned char>{3, 2, 1, 4, 7, 6, 5, 8}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureTest, RefusesImagesItCannotUploadAndDeletesItsNameOnce) {
  headless::HeadlessGl gl(4, 4);
  const std::pair<Image, std::string> cases[] = {
      {imageOf(3, 1, 16, std::vector<unsigned char>(6)), "Unrecognized Image"},
      {imageOf(16385, 1, 24, std::vector<unsigned char>(16385 * 3)), "Image larger than 16384 pixels on a side"},
      {imageOf(1, 16385, 24, std::vector<unsigned char>(16385 * 3)), "Image larger than 16384 pixels on a side"},
      {imageOf(2, 2, 24, std::vector<unsigned char>(11)), "Image holds fewer pixels than its size declares"},
      // GLU refuses an empty image; that is a failure, not a texture without pixels.
      {imageOf(0, 0, 24, {}), "I can't build the texture's mipmaps: "},
  };
  for (const auto& [image, message] : cases) {
    EXPECT_EQ(messageOf([&] { Texture(image, 0.5f); }).substr(0, message.size()), message);
  }

  Image image = imageOf(1, 1, 24, {0, 0, 0});
  unsigned first = 0;
  {
    Texture texture(image, 0.2f);
    first = texture.id();
    Texture moved(std::move(texture));
    EXPECT_EQ(std::tuple(texture.id(), moved.id(), moved.priority()), std::tuple(0u, first, 0.2f));
    Texture other(image, 0.5f);
    unsigned second = other.id();
    other = std::move(moved);  // the name `other` held goes at once
    EXPECT_FALSE(glIsTexture(second));
    EXPECT_TRUE(glIsTexture(first));
  }
  EXPECT_FALSE(glIsTexture(first));
}

}  // namespace
}  // namespace tessarine::mesh
