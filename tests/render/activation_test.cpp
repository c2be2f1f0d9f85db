#include "render/activation.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "headless/headless_gl.h"
#include "render/render_state.h"
#include "render/scene_text.h"
#include "scene/demo_context.h"
#include "scene/scene.h"
#include "support/temp_dir.h"

namespace tessarine::render {
namespace {

using testing::Pose;
using Vec4 = std::array<GLfloat, 4>;

constexpr float kTolerance = 1e-5f;

void expectNear(const Vec4& actual, const Vec4& expected, const char* what) {
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], kTolerance) << what << " component " << i;
}

Vec4 lightValue(GLenum light, GLenum name) {
  Vec4 value{};
  glGetLightfv(light, name, value.data());
  return value;
}

float lightCutOff(GLenum light) { return lightValue(light, GL_SPOT_CUTOFF)[0]; }

Vec4 floats(GLenum name) {
  Vec4 value{};
  glGetFloatv(name, value.data());
  return value;
}

float priorityOf(const mesh::Mesh& mesh) {
  GLfloat priority = -1;
  glBindTexture(GL_TEXTURE_2D, mesh.texture().id());
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &priority);
  return priority;
}

class ActivationTest : public ::testing::Test {
 protected:
  ActivationTest() : gl_(4, 4), context_(dir_.str()) {
    setUpRenderState();
    testing::writeSquare(dir_, "shared.lwo", {255, 255, 255});
    testing::writeSquare(dir_, "only_a.lwo", {255, 255, 255});
    testing::writeSquare(dir_, "only_b.lwo", {255, 255, 255});
    const std::string origin = testing::still({});
    dir_.write("A.lws", testing::header(0, 60) + testing::object("shared.lwo", origin) +
                            testing::object("only_a.lwo", origin) + "AmbientColor 255 128 0\nAmbIntensity 0.5\n" +
                            "FogColor 0 0 255\nBackdropColor 255 0 0\nFogMinDist 10\nFogMaxDist " +
                            testing::envelope({{0, 100}, {30, 200}}) +
                            testing::light(origin, {255, 255, 255}, "1", 0) +
                            testing::light(origin, {255, 0, 0}, "0.5", 1) +
                            testing::light(origin, {0, 255, 0}, "1", 2, "30") + testing::camera(origin));
    dir_.write("B.lws", testing::header(0, 60) + testing::object("shared.lwo", origin) +
                            testing::object("only_b.lwo", origin) + "AmbientColor 255 255 255\nAmbIntensity " +
                            testing::envelope({{0, 1}}) + "FogMinDist 5\nFogMaxDist 50\n" +
                            testing::light(origin, {255, 255, 255}, "1", 2, "120") + testing::camera(origin));
  }

  testing::TempDir dir_;
  headless::HeadlessGl gl_;
  scene::DemoContext context_;
};

TEST_F(ActivationTest, LoadsWhatHoldsWhileTheSceneRuns) {
  // Left over from an earlier scene: a sixth light, a narrow distant light, a fog end.
  glEnable(GL_LIGHT5);
  glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 45);
  glFogf(GL_FOG_END, 777);

  scene::Scene a(context_, "A.lws", 1.0f);
  activate(a);
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  for (unsigned i = 0; i < scene::kMaxLights; ++i) {
    EXPECT_EQ(glIsEnabled(GL_LIGHT0 + i), i < 3) << "light " << i;
  }
  EXPECT_EQ(lightCutOff(GL_LIGHT0), 180) << "a distant light is never narrowed by an old cut-off";
  EXPECT_EQ(lightCutOff(GL_LIGHT1), 180);
  EXPECT_EQ(lightCutOff(GL_LIGHT2), 30);
  for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2}) {
    expectNear(lightValue(light, GL_AMBIENT), {0, 0, 0, 1}, "light ambient");
    expectNear(lightValue(light, GL_SPECULAR), {0, 0, 0, 1}, "light specular");
  }
  expectNear(lightValue(GL_LIGHT0, GL_DIFFUSE), {1, 1, 1, 1}, "white light");
  expectNear(lightValue(GL_LIGHT1, GL_DIFFUSE), {0.5f, 0, 0, 1}, "red light at half intensity");
  expectNear(lightValue(GL_LIGHT2, GL_DIFFUSE), {0, 1, 0, 1}, "green light");

  expectNear(floats(GL_LIGHT_MODEL_AMBIENT), {0.5f, 64.0f / 255, 0, 1}, "ambient colour times intensity");
  expectNear(floats(GL_FOG_COLOR), {0, 0, 1, 1}, "fog colour");
  expectNear(floats(GL_COLOR_CLEAR_VALUE), {1, 0, 0, 0}, "clear colour with alpha 0");
  EXPECT_EQ(floats(GL_FOG_START)[0], 10);
  EXPECT_EQ(floats(GL_FOG_END)[0], 777) << "an enveloped fog end is the renderer's to set";
}

TEST_F(ActivationTest, ASwitchKeepsOnlyWhatTheNewSceneDoesNotSet) {
  scene::Scene a(context_, "A.lws", 1.0f);
  scene::Scene b(context_, "B.lws", 1.0f);
  activate(a);
  activate(b);

  for (unsigned i = 0; i < scene::kMaxLights; ++i) {
    EXPECT_EQ(glIsEnabled(GL_LIGHT0 + i), i == 0) << "light " << i;
  }
  EXPECT_EQ(lightCutOff(GL_LIGHT0), 90) << "a cone of 120 degrees is as wide as a spot can be";
  expectNear(floats(GL_LIGHT_MODEL_AMBIENT), {0.5f, 64.0f / 255, 0, 1}, "enveloped ambient left alone");
  EXPECT_EQ(floats(GL_FOG_START)[0], 5);
  EXPECT_EQ(floats(GL_FOG_END)[0], 50);

  EXPECT_FLOAT_EQ(priorityOf(*context_.meshes.find("shared.lwo")), kSceneTexturePriority);
  EXPECT_FLOAT_EQ(priorityOf(*context_.meshes.find("only_b.lwo")), kSceneTexturePriority);
  EXPECT_FLOAT_EQ(priorityOf(*context_.meshes.find("only_a.lwo")), kIdleTexturePriority);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(SpotCutOffTest, KeepsConeAnglesWhereOpenGLAcceptsThem) {
  struct Case {
    float cone;
    float cutOff;
  };
  const Case cases[] = {
      {30, 30}, {0, 0}, {90, 90}, {90.5f, 90}, {120, 90}, {180, 90}, {-5, 0},
      {std::numeric_limits<float>::quiet_NaN(), 90}, {std::numeric_limits<float>::infinity(), 90},
  };
  for (const Case& c : cases) EXPECT_EQ(spotCutOff(c.cone), c.cutOff) << "cone " << c.cone;
}

}  // namespace
}  // namespace tessarine::render
