#include "headless/headless_gl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace tessarine::headless {
namespace {

TEST(HeadlessGlTest, ClearsAndReadsBackItsFramebuffer) {
  HeadlessGl gl(7, 5);
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  std::vector<std::uint8_t> pixels = gl.readPixels();
  ASSERT_EQ(pixels.size(), 7u * 5u * 4u);
  EXPECT_EQ(pixels[0], 255);
  EXPECT_EQ(pixels[1], 0);
  EXPECT_EQ(pixels[pixels.size() - 1], 255);
  // The fixed-function pipeline is there: a compatibility context.
  glEnable(GL_LIGHTING);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace tessarine::headless
