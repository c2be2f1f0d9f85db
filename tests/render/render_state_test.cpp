// The fixed OpenGL state of the whole run, read back from a real context.
#include "render/render_state.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

#include "headless/headless_gl.h"

namespace tessarine::render {
namespace {

TEST(RenderStateTest, SetsTheFixedStateOfTheWholeRun) {
  headless::HeadlessGl gl(4, 4);
  setUpRenderState();
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  for (GLenum capability : {GL_LIGHTING, GL_COLOR_MATERIAL, GL_NORMALIZE, GL_FOG, GL_BLEND, GL_DITHER, GL_DEPTH_TEST,
                            GL_TEXTURE_2D, GL_CULL_FACE}) {
    EXPECT_TRUE(glIsEnabled(capability)) << "capability 0x" << std::hex << capability;
  }
  const std::array<GLenum, 2> settings[] = {
      {GL_COLOR_MATERIAL_FACE, GL_FRONT}, {GL_COLOR_MATERIAL_PARAMETER, GL_DIFFUSE}, {GL_FOG_MODE, GL_LINEAR},
      {GL_BLEND_SRC, GL_SRC_ALPHA},       {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},     {GL_SHADE_MODEL, GL_SMOOTH},
      {GL_FRONT_FACE, GL_CW},             {GL_CULL_FACE_MODE, GL_BACK},               {GL_UNPACK_ALIGNMENT, 1},
      {GL_DEPTH_FUNC, GL_LESS},  // left at its default
      {GL_POLYGON_MODE, GL_FILL},  // the front face's, first of two
  };
  for (const auto& [name, expected] : settings) {
    std::array<GLint, 2> value{};
    glGetIntegerv(name, value.data());
    EXPECT_EQ(value[0], static_cast<GLint>(expected)) << "setting 0x" << std::hex << name;
  }
  GLint environment = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
  EXPECT_EQ(environment, GL_MODULATE);
  std::array<GLfloat, 4> color{};
  glGetFloatv(GL_CURRENT_COLOR, color.data());
  EXPECT_EQ(color, (std::array<GLfloat, 4>{1, 1, 1, 1}));
}

}  // namespace
}  // namespace tessarine::render
