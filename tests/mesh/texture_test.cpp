// Textures on a real GL context: the upload, its filters and mipmaps, the priority, and
// the name's release.
#include "mesh/texture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "headless/headless_gl.h"
#include "mesh_fixtures.h"

namespace tessarine::mesh {
namespace {

using testing::messageOf;

Image imageOf(std::uint16_t width, std::uint16_t height, std::uint8_t bitsPerPixel, std::vector<unsigned char> pixels) {
  Image image;
  image.width = width;
  image.height = height;
  image.bitsPerPixel = bitsPerPixel;
  image.pixels = std::move(pixels);
  return image;
}

GLint levelParameter(GLint level, GLenum name) {
  GLint value = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
  return value;
}

TEST(TextureTest, BuildsTheMipmapChainWithItsFiltersAndPriority) {
  headless::HeadlessGl gl(4, 4);
  // 100 x 60 is no power of two on either side: GLU scales it before building the chain.
  Texture texture(imageOf(100, 60, 24, std::vector<unsigned char>(100 * 60 * 3, 0x40)), 0.5f);
  ASSERT_NE(texture.id(), 0u);
  EXPECT_TRUE(glIsTexture(texture.id()));
  GLint state[3] = {};
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &state[0]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &state[1]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &state[2]);
  EXPECT_EQ(std::vector<GLint>(state, state + 3),
            (std::vector<GLint>{static_cast<GLint>(texture.id()), GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR}));
  EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), 3);

  GLint width = levelParameter(0, GL_TEXTURE_WIDTH);
  GLint height = levelParameter(0, GL_TEXTURE_HEIGHT);
  EXPECT_TRUE(std::has_single_bit(static_cast<unsigned>(width)) && std::has_single_bit(static_cast<unsigned>(height)))
      << width << " x " << height;
  GLint last = 0;
  while ((width >> last) > 1 || (height >> last) > 1) ++last;
  EXPECT_EQ(levelParameter(last, GL_TEXTURE_WIDTH), 1);
  EXPECT_EQ(levelParameter(last, GL_TEXTURE_HEIGHT), 1);

  GLfloat priority[2] = {};
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &priority[0]);
  texture.setPriority(0.8f);
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &priority[1]);
  EXPECT_EQ(std::vector<GLfloat>(priority, priority + 2), (std::vector<GLfloat>{0.5f, 0.8f}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureTest, UploadsRowsUnpaddedInBlueGreenRedOrder) {
  headless::HeadlessGl gl(4, 4);
  // A fresh context unpacks rows at 4-byte alignment; one 3-byte pixel per row would skew.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  Texture rgb(imageOf(1, 4, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), 0.5f);
  std::vector<unsigned char> read(12);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, read.data());
  EXPECT_EQ(read, (std::vector<unsigned char>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));

  Texture rgba(imageOf(2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8}), 0.5f);
  EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), 4);
  read.assign(8, 0);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
  EXPECT_EQ(read, (std::vector<unsigned char>{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(TextureTest, RefusesImagesItCannotUpload) {
  headless::HeadlessGl gl(4, 4);
  const std::pair<Image, std::string> cases[] = {
      {imageOf(3, 1, 16, std::vector<unsigned char>(6)), "Unrecognized Image"},
      {imageOf(16385, 1, 24, std::vector<unsigned char>(16385 * 3)), "Image larger than 16384 pixels on a side"},
      {imageOf(2, 2, 24, std::vector<unsigned char>(11)), "Image holds fewer pixels than its size declares"},
      // GLU refuses an empty image; that is a failure, not a texture without pixels.
      {imageOf(0, 0, 24, {}), "I can't build the texture's mipmaps: "},
  };
  for (const auto& [image, message] : cases) {
    EXPECT_EQ(messageOf([&] { Texture(image, 0.5f); }).substr(0, message.size()), message);
  }
}

TEST(TextureTest, DeletesItsNameOnceWhateverMovesIt) {
  headless::HeadlessGl gl(4, 4);
  Image image = imageOf(1, 1, 24, {0, 0, 0});
  unsigned first = 0;
  {
    Texture texture(image, 0.2f);
    first = texture.id();
    Texture moved(std::move(texture));
    EXPECT_EQ(texture.id(), 0u);
    EXPECT_EQ(moved.id(), first);
    EXPECT_FLOAT_EQ(moved.priority(), 0.2f);

    Texture other(image, 0.5f);
    unsigned second = other.id();
    other = std::move(moved);  // the name `other` held goes at once
    EXPECT_FALSE(glIsTexture(second));
    EXPECT_TRUE(glIsTexture(first));
  }
  EXPECT_FALSE(glIsTexture(first));
  Texture empty;  // holds no name and deletes none
  EXPECT_EQ(empty.id(), 0u);
}

}  // namespace
}  // namespace tessarine::mesh
