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

  struct Setting {
    GLenum name;
    GLint expected;
  };
  const Setting settings[] = {
      {GL_COLOR_MATERIAL_FACE, GL_FRONT},
      {GL_COLOR_MATERIAL_PARAMETER, GL_DIFFUSE},
      {GL_FOG_MODE, GL_LINEAR},
      {GL_BLEND_SRC, GL_SRC_ALPHA},
      {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
      {GL_SHADE_MODEL, GL_SMOOTH},
      {GL_FRONT_FACE, GL_CW},
      {GL_CULL_FACE_MODE, GL_BACK},
      {GL_UNPACK_ALIGNMENT, 1},
      {GL_DEPTH_FUNC, GL_LESS},  // left at its default
  };
  for (const Setting& setting : settings) {
    GLint value = 0;
    glGetIntegerv(setting.name, &value);
    EXPECT_EQ(value, setting.expected) << "setting 0x" << std::hex << setting.name;
  }

  std::array<GLint, 2> polygonMode{};
  glGetIntegerv(GL_POLYGON_MODE, polygonMode.data());
  EXPECT_EQ(polygonMode[0], GL_FILL);

  GLint environment = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
  EXPECT_EQ(environment, GL_MODULATE);

  std::array<GLfloat, 4> color{};
  glGetFloatv(GL_CURRENT_COLOR, color.data());
  EXPECT_EQ(color, (std::array<GLfloat, 4>{1, 1, 1, 1}));
}

}  // namespace
}  // namespace tessarine::render
