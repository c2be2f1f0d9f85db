// The renderer on a real context: what activating a scene sets, the projection, lights and
// objects placed in eye space, the camera shake and the pixels drawn.
#include "render/scene_renderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "headless/headless_gl.h"
#include "mesh/mesh_textures.h"
#include "render/activation.h"
#include "render/camera_shake.h"
#include "render/projection.h"
#include "render/render_state.h"
#include "scene/demo_context.h"
#include "scene/scene.h"
#include "support/scene_files.h"
#include "support/temp_dir.h"

namespace tessarine::render {
namespace {

using formats::LwsLight;
using formats::LwsLightType;
using formats::LwsScene;
using testing::object;
using testing::ramp;
using testing::still;
using Values = std::array<GLfloat, 16>;  // room for any query; matrices come column-major

constexpr float kTolerance = 1e-4f;
// Half a second is frame 15 at 30 frames per second: the middle of every 0..30 envelope.
constexpr float kHalfSecond = 0.5f;
constexpr int kSide = 64;  // of the square drawing surface

Values floats(GLenum name) {
  Values v{};
  glGetFloatv(name, v.data());
  return v;
}

Values lightValue(GLenum light, GLenum name) {
  Values v{};
  glGetLightfv(light, name, v.data());
  return v;
}

void expectNear(const Values& actual, const std::vector<float>& expected, const std::string& what) {
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], kTolerance) << what << " [" << i << "]";
}

class RendererTest : public ::testing::Test {
 protected:
  RendererTest() : gl_(kSide, kSide), context_(dir_.str()) {
    setUpRenderState();
    testing::writeSquare(dir_.path(), "square.lwo", {255, 255, 255});
  }

  // Writes and reads a scene, makes its textures and activates it; the scene lives as long
  // as the test.
  scene::Scene& load(const LwsScene& lws, float nearPlane = 1.0f) {
    const std::string name = "scene" + std::to_string(scenes_.size()) + ".lws";
    dir_.write(name, formats::writeLws(lws));
    scenes_.push_back(std::make_unique<scene::Scene>(context_, name, nearPlane));
    mesh::makeTextures(context_.meshes);
    activate(*scenes_.back());
    return *scenes_.back();
  }

  testing::TempDir dir_;
  headless::HeadlessGl gl_;
  scene::DemoContext context_;
  std::vector<std::unique_ptr<scene::Scene>> scenes_;
};

TEST_F(RendererTest, ActivationLoadsTheSceneAsItStartsAndClearsWhatAnEarlierOneLeft) {
  // Left over from an earlier scene: a sixth light, a narrow distant light.
  glEnable(GL_LIGHT5);
  glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 45);
  LwsScene first{.objects = {object("square.lwo", still({}))},
                 .lights = {{.motion = still({}), .type = LwsLightType::kDistant},
                            {.motion = still({}), .color = {255, 0, 0}, .intensity = 0.5f},
                            {.motion = still({}), .color = {0, 255, 0}, .type = LwsLightType::kSpot, .coneAngle = 30.0f}},
                 .ambientColor = {255, 128, 0}, .ambientIntensity = 0.5f, .backdropColor = {255, 0, 0},
                 .fogMinDistance = 10.0f, .fogMaxDistance = ramp({{0, 100}, {30, 200}}), .fogColor = {0, 0, 255}};
  first.camera.motion = still({});
  load(first);

  for (unsigned i = 0; i < scene::kMaxLights; ++i) EXPECT_EQ(glIsEnabled(GL_LIGHT0 + i), i < 3) << "light " << i;
  struct Light {
    GLenum id;
    float cutOff;  // a distant light is never narrowed by an old cut-off
    std::vector<float> diffuse;
  };
  for (const Light& l : {Light{GL_LIGHT0, 180, {1, 1, 1, 1}}, Light{GL_LIGHT1, 180, {0.5f, 0, 0, 1}},
                         Light{GL_LIGHT2, 30, {0, 1, 0, 1}}}) {
    SCOPED_TRACE(l.id - GL_LIGHT0);
    EXPECT_EQ(lightValue(l.id, GL_SPOT_CUTOFF)[0], l.cutOff);
    expectNear(lightValue(l.id, GL_DIFFUSE), l.diffuse, "colour times intensity");
    expectNear(lightValue(l.id, GL_AMBIENT), {0, 0, 0, 1}, "light ambient");
    expectNear(lightValue(l.id, GL_SPECULAR), {0, 0, 0, 1}, "light specular");
  }
  expectNear(floats(GL_LIGHT_MODEL_AMBIENT), {0.5f, 64.0f / 255, 0, 1}, "ambient colour times intensity");
  expectNear(floats(GL_FOG_COLOR), {0, 0, 1, 1}, "fog colour");
  expectNear(floats(GL_COLOR_CLEAR_VALUE), {1, 0, 0, 0}, "clear colour with alpha 0");
  // An enveloped fog end as it stands at the scene's start.
  EXPECT_EQ(std::tuple(floats(GL_FOG_START)[0], floats(GL_FOG_END)[0]), std::tuple(10.0f, 100.0f));

  // The next scene leaves none of the first one's lights on.
  LwsScene second{.objects = {object("square.lwo", still({}))},
                  .lights = {{.motion = still({}), .type = LwsLightType::kSpot, .coneAngle = 120.0f}},
                  .ambientIntensity = ramp({{0, 1}})};
  second.camera.motion = still({});
  scene::Scene& unfogged = load(second);
  EXPECT_TRUE(glIsEnabled(GL_FOG)) << "the show's scenes are always fogged";
  // A LightWave scene whose fog is off draws none; the next fogged scene has it back.
  unfogged.fogged = false;
  activate(unfogged);
  EXPECT_FALSE(glIsEnabled(GL_FOG));
  unfogged.fogged = true;
  activate(unfogged);
  for (unsigned i = 0; i < scene::kMaxLights; ++i) EXPECT_EQ(glIsEnabled(GL_LIGHT0 + i), i == 0) << "light " << i;
  EXPECT_EQ(lightValue(GL_LIGHT0, GL_SPOT_CUTOFF)[0], 90) << "a cone of 120 degrees is as wide as a spot can be";
  expectNear(floats(GL_LIGHT_MODEL_AMBIENT), {1, 1, 1, 1}, "white times the enveloped intensity at the start");
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ProjectionTest, FieldOfViewFromTheZoomFarPlaneFromTheFogEnd) {
  const std::pair<float, float> views[] = {{3.2f, 28.125f}, {1, 90}, {0.5f, 127.27922f}, {0.1f, 179}, {0, 179}, {-1, 179}};
  for (const auto& [zoom, fovy] : views) EXPECT_FLOAT_EQ(fieldOfView(zoom), fovy) << "zoom " << zoom;
  EXPECT_EQ(farPlane(300, 1), 300);
  EXPECT_FLOAT_EQ(farPlane(0.5f, 1), 1.001f) << "fog ending before the near plane";
  // LightWave's lens: the zoom is the focal length over half the frame's height.
  EXPECT_FLOAT_EQ(lightWaveFieldOfView(1), 90);
  EXPECT_NEAR(lightWaveFieldOfView(3.2f), 34.708f, 1e-3f);
  EXPECT_EQ(lightWaveFieldOfView(0), kMaxFieldOfView);
  // A soft edge of 10 in a cone of 30 halves the light at 25 degrees: 0.5 = cos(25)^e.
  EXPECT_NEAR(spotExponent(30, 10), std::log(0.5) / std::log(std::cos(25 * std::numbers::pi / 180)), 1e-4);
  EXPECT_EQ(std::tuple(spotExponent(30, 0), spotExponent(5, 40)), std::tuple(0.0f, 0.0f)) << "no edge, or all edge";
}

// gluPerspective's matrix, from its definition, with the enveloped zoom and fog end at
// half a second: zoom 2 (45 degrees), fog end 150. The view moves by the moment's shake,
// its amplitude the enveloped "FocalDistance" (2); through the mirror, z turns round.
TEST_F(RendererTest, ProjectsAndShakesWithTheEnvelopedValues) {
  context_.aspect = 2.0f;
  LwsScene lws{.objects = {object("square.lwo", still({}))}, .fogMaxDistance = ramp({{0, 100}, {30, 200}})};
  lws.camera = {.motion = still({}), .zoom = ramp({{0, 1}, {30, 3}}), .focalDistance = ramp({{0, 0}, {30, 4}})};
  render(load(lws, 0.1f), kHalfSecond);
  const double f = 1 / std::tan(45.0 / 2 * std::numbers::pi / 180), n = 0.1, far = 150;
  const std::pair<int, double> expected[] = {
      {0, f / 2}, {5, f}, {10, (far + n) / (n - far)}, {11, -1}, {14, 2 * far * n / (n - far)}};
  const Values p = floats(GL_PROJECTION_MATRIX);
  for (const auto& [at, value] : expected) EXPECT_NEAR(p[at], value, 1e-4 * std::abs(value)) << "element " << at;
  EXPECT_EQ(floats(GL_MATRIX_MODE)[0], GL_MODELVIEW);
  EXPECT_NEAR(floats(GL_FOG_END)[0], 150, kTolerance) << "the fog end moves with the far plane";
  const ShakeOffset o = shakeOffset(2, kHalfSecond);
  expectNear(floats(GL_MODELVIEW_MATRIX), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, o[0], o[1], -o[2], 1}, "shaken view");
}

TEST_F(RendererTest, PlacesLightsAndObjectsInEyeSpace) {
  // Object 0: a null at (5, 0, 0) turned by heading 90; object 1: the square at (1, 2, 3).
  LwsScene lws{.objects = {object("", still({.x = 5, .heading = 90})), object("square.lwo", still({.x = 1, .y = 2, .z = 3}))},
               .lights = {{.motion = still({.y = 5})},
                          {.motion = still({.heading = 90}), .type = LwsLightType::kDistant},
                          {.motion = still({.pitch = 90}), .type = LwsLightType::kSpot},
                          // 1 unit along the null's own z, which the null's heading turns onto x.
                          {.motion = still({.z = 1}), .parent = 0}}};
  lws.camera.motion = still({.z = -10});
  render(load(lws), kHalfSecond);
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  // Eye space: the camera 10 units behind the origin, z mirrored.
  expectNear(lightValue(GL_LIGHT0, GL_POSITION), {0, 5, -10, 1}, "point light");
  expectNear(lightValue(GL_LIGHT1, GL_POSITION), {-1, 0, 0, 0}, "distant light along its own z, turned");
  expectNear(lightValue(GL_LIGHT2, GL_POSITION), {0, 0, -10, 1}, "spot light");
  expectNear(lightValue(GL_LIGHT2, GL_SPOT_DIRECTION), {0, -1, 0}, "spot pitched down");
  expectNear(lightValue(GL_LIGHT3, GL_POSITION), {6, 0, -10, 1}, "light hanging from the null");
  // The last object drawn leaves its matrix: mirror x translate(0, 0, 10) x translate(1, 2, 3).
  expectNear(floats(GL_MODELVIEW_MATRIX), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1, 2, -13, 1}, "modelview");
}

// A textured square facing a camera that moves from 5 to 4 units away over half a second,
// lit head-on by a distant light at half intensity, in blue fog from 2 to 12 units; a
// square turned away stands in front of it and must be culled.
TEST_F(RendererTest, DrawsALitFoggedTexturedSquareThroughAMovingCamera) {
  testing::writeSquare(dir_.path(), "brown.lwo", {200, 100, 40});
  testing::writeSquare(dir_.path(), "red.lwo", {255, 0, 0});
  LwsScene lws{.objects = {object("brown.lwo", still({})), object("red.lwo", still({.z = -1, .heading = 180}))},
               // The light shines along its own +z: from the camera's side onto the square.
               .lights = {{.motion = still({}), .intensity = 0.5f, .type = LwsLightType::kDistant}},
               .ambientColor = {0, 0, 0}, .ambientIntensity = 0.0f, .backdropColor = {0, 255, 0},
               .fogMinDistance = 2.0f, .fogMaxDistance = 12.0f, .fogColor = {0, 0, 255}};
  lws.camera = {.motion = testing::motion({{.z = -5, .frame = 0}, {.z = -3, .frame = 30}}), .zoom = 1.0f};
  scene::Scene& scene = load(lws);
  context_.aspect = 1.0f;

  using Rgba = std::array<int, 4>;
  struct Frame {
    float t;
    Rgba square;        // texel x 0.5 light, then fog f = (12 - d) / 10
    bool edgeInSquare;  // pixel 25: inside the square's 8-pixel half width at d = 4 only
  };
  const Frame frames[] = {
      {0.0f, {70, 35, 91, 255}, false},        // d = 5, f = 0.7
      {kHalfSecond, {80, 40, 67, 255}, true},  // d = 4, f = 0.8
  };
  const Rgba backdrop{0, 255, 0, 0};
  constexpr int kColorTolerance = 3;
  for (const Frame& frame : frames) {
    render(scene, frame.t);
    gl_.finish();
    const std::vector<std::uint8_t> pixels = gl_.readPixels();
    const std::pair<int, Rgba> expected[] = {{32 * kSide + 32, frame.square},
                                             {32 * kSide + 25, frame.edgeInSquare ? frame.square : backdrop},
                                             {2 * kSide + 2, backdrop}};
    for (const auto& [at, rgba] : expected) {
      for (int i = 0; i < 4; ++i) EXPECT_NEAR(pixels[at * 4 + i], rgba[i], kColorTolerance) << "t " << frame.t << " pixel " << at;
    }
  }
}

}  // namespace
}  // namespace tessarine::render
