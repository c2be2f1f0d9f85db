#include "render/scene_renderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "headless/headless_gl.h"
#include "render/activation.h"
#include "render/render_state.h"
#include "render/scene_text.h"
#include "scene/demo_context.h"
#include "scene/scene.h"
#include "support/temp_dir.h"

namespace tessarine::render {
namespace {

using testing::Pose;
using testing::still;
using Vec4 = std::array<GLfloat, 4>;
using Matrix = std::array<GLfloat, 16>;  // column-major, as OpenGL returns it

constexpr float kTolerance = 1e-4f;
// Half a second is frame 15 at 30 frames per second: the middle of every 0..30 envelope.
constexpr float kHalfSecond = 0.5f;

Matrix matrix(GLenum which) {
  Matrix m{};
  glGetFloatv(which, m.data());
  return m;
}

Vec4 lightValue(GLenum light, GLenum name) {
  Vec4 value{};
  glGetLightfv(light, name, value.data());
  return value;
}

void expectNear(const float* actual, const std::vector<float>& expected, const std::string& what) {
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], kTolerance) << what << " [" << i << "]";
}

class RendererTest : public ::testing::Test {
 protected:
  RendererTest() : gl_(64, 64), context_(dir_.str()) {
    setUpRenderState();
    testing::writeSquare(dir_, "square.lwo", {255, 255, 255});
  }

  scene::Scene& load(const std::string& text, float nearPlane = 1.0f) {
    const std::string name = "scene" + std::to_string(++count_) + ".lws";
    dir_.write(name, text);
    scenes_.push_back(std::make_unique<scene::Scene>(context_, name, nearPlane));
    activate(*scenes_.back());
    return *scenes_.back();
  }

  testing::TempDir dir_;
  headless::HeadlessGl gl_;
  scene::DemoContext context_;
  std::vector<std::unique_ptr<scene::Scene>> scenes_;
  int count_ = 0;
};

TEST_F(RendererTest, ProjectsWithTheZoomAndTheFogEnd) {
  struct Case {
    const char* name;
    std::string zoom;
    std::string fogEnd;
    float nearPlane;
    double fovy;  // degrees
    double far;
  };
  const Case cases[] = {
      {"zoom above 1", "3.2", "300", 1.0f, 28.125, 300},
      {"zoom 1", "1", "300", 1.0f, 90, 300},
      {"zoom below 1", "0.5", "300", 0.1f, 127.27922061357855, 300},
      {"zoom too small for a projection", "0.1", "300", 1.0f, 179, 300},
      {"zoom enveloped from 1 to 3", testing::envelope({{0, 1}, {30, 3}}), "300", 1.0f, 45, 300},
      {"fog ending before the near plane", "1", "0.5", 1.0f, 90, 1.001},
      {"fog end enveloped from 100 to 200", "1", testing::envelope({{0, 100}, {30, 200}}), 0.1f, 90, 150},
  };
  context_.aspect = 2.0f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    scene::Scene& scene = load(testing::header(0, 60) + "FogMaxDist " + c.fogEnd + "\n" +
                                   testing::camera(still({}), c.zoom),
                               c.nearPlane);
    render(scene, kHalfSecond);

    // gluPerspective's matrix, from its definition.
    const double f = 1 / std::tan(c.fovy / 2 * std::numbers::pi / 180);
    const double n = c.nearPlane;
    const Matrix p = matrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(p[0], f / 2.0, 1e-4 * f);
    EXPECT_NEAR(p[5], f, 1e-4 * f);
    // Relative: a depth range of a thousandth makes these large and touchy.
    const double depth = (c.far + n) / (n - c.far);
    const double offset = 2 * c.far * n / (n - c.far);
    EXPECT_NEAR(p[10], depth, 1e-4 * std::abs(depth));
    EXPECT_NEAR(p[11], -1, kTolerance);
    EXPECT_NEAR(p[14], offset, 1e-4 * std::abs(offset));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
  }
  GLfloat fogEnd = 0;
  glGetFloatv(GL_FOG_END, &fogEnd);
  EXPECT_NEAR(fogEnd, 150, kTolerance) << "the fog end moves with the far plane";
}

TEST_F(RendererTest, PlacesLightsAndObjectsInEyeSpace) {
  const std::string envelopeZeroToOne = testing::envelope({{0, 0}, {30, 1}});
  scene::Scene& scene = load(
      testing::header(0, 60) +
      // Object 0: a null at (5, 0, 0) turned by heading 90; object 1: the square at (1, 2, 3).
      testing::null(still({.x = 5, .heading = 90})) + testing::object("square.lwo", still({.x = 1, .y = 2, .z = 3})) +
      "AmbientColor 255 0 0\nAmbIntensity " + envelopeZeroToOne + "FogMinDist " +
      testing::envelope({{0, 0}, {30, 20}}) +
      testing::light(still({.y = 5}), {255, 255, 255}, envelopeZeroToOne, 1) +
      testing::light(still({.heading = 90}), {255, 255, 255}, "1", 0) +
      testing::light(still({.pitch = 90}), {255, 255, 255}, "1", 2, testing::envelope({{0, 10}, {30, 50}})) +
      // A light 1 unit along the null's own z, which the null's heading turns onto x.
      "LightMotion " + still({.z = 1}) + "ParentObject 0\nLightColor 255 255 255\nLgtIntensity 1\nLightType 1\n" +
      testing::camera(still({.z = -10})));
  render(scene, kHalfSecond);
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  // Eye space: the camera 10 units behind the origin, z mirrored.
  expectNear(lightValue(GL_LIGHT0, GL_POSITION).data(), {0, 5, -10, 1}, "point light");
  expectNear(lightValue(GL_LIGHT1, GL_POSITION).data(), {1, 0, 0, 0}, "distant light along its own z, turned");
  expectNear(lightValue(GL_LIGHT2, GL_POSITION).data(), {0, 0, -10, 1}, "spot light");
  expectNear(lightValue(GL_LIGHT2, GL_SPOT_DIRECTION).data(), {0, -1, 0}, "spot pitched down");
  expectNear(lightValue(GL_LIGHT3, GL_POSITION).data(), {6, 0, -10, 1}, "light hanging from the null");

  expectNear(lightValue(GL_LIGHT0, GL_DIFFUSE).data(), {0.5f, 0.5f, 0.5f, 1}, "enveloped intensity");
  EXPECT_NEAR(lightValue(GL_LIGHT2, GL_SPOT_CUTOFF)[0], 30, kTolerance) << "enveloped cone";
  Vec4 ambient{};
  glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient.data());
  expectNear(ambient.data(), {0.5f, 0, 0, 1}, "enveloped ambient");
  GLfloat fogStart = 0;
  glGetFloatv(GL_FOG_START, &fogStart);
  EXPECT_NEAR(fogStart, 10, kTolerance);

  // The last object drawn leaves its matrix: mirror x translate(0, 0, 10) x translate(1, 2, 3).
  expectNear(matrix(GL_MODELVIEW_MATRIX).data(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1, 2, -13, 1}, "modelview");
}

TEST_F(RendererTest, ShakesTheViewByThreeRandomDrawsAFrame) {
  struct Case {
    const char* name;
    std::string focalDistance;
    float t;
    double amplitude;
  };
  const Case cases[] = {
      {"plain amplitude", "2", kHalfSecond, 2},
      {"enveloped amplitude", testing::envelope({{0, 0}, {30, 4}}), kHalfSecond, 2},
      {"no shake at time 0", "2", 0, 2},
      {"no FocalDistance", "", kHalfSecond, 0},
  };
  constexpr unsigned kSeed = 7;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string focal = c.focalDistance.empty() ? "" : "FocalDistance " + c.focalDistance + "\n";
    scene::Scene& scene = load(testing::header(0, 60) + focal + testing::object("square.lwo", still({})) +
                               testing::camera(still({})));
    std::srand(kSeed);
    std::array<int, 4> draws{};
    for (int& draw : draws) draw = std::rand();

    std::srand(kSeed);
    render(scene, c.t);
    EXPECT_EQ(std::rand(), draws[3]) << "exactly three draws";

    // Each axis: a random fraction between -1 and 1 of A sin(50 t), whatever the
    // range of the C library's rand().
    const double s = std::sin(50.0 * c.t);
    const double middle = RAND_MAX / 2.0;
    std::array<double, 3> expected{};
    for (int axis = 0; axis < 3; ++axis) {
      expected[axis] = (draws[axis] - middle) / middle * c.amplitude * s;
      EXPECT_NEAR(scene.shakeOffset[axis], expected[axis], 1e-5) << "axis " << axis;
      EXPECT_LE(std::abs(scene.shakeOffset[axis]), c.amplitude) << "axis " << axis;
    }
    // Seen through the mirror, the whole view moves by the offset.
    const Matrix m = matrix(GL_MODELVIEW_MATRIX);
    EXPECT_NEAR(m[12], expected[0], 1e-5);
    EXPECT_NEAR(m[13], expected[1], 1e-5);
    EXPECT_NEAR(m[14], -expected[2], 1e-5);
  }
}

struct Rgba {
  int r, g, b, a;
};

Rgba pixelAt(const headless::HeadlessGl& gl, const std::vector<std::uint8_t>& pixels, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * gl.width() + x) * 4;
  return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
}

void expectColor(const Rgba& actual, const Rgba& expected, const char* what) {
  constexpr int kColorTolerance = 3;
  EXPECT_NEAR(actual.r, expected.r, kColorTolerance) << what;
  EXPECT_NEAR(actual.g, expected.g, kColorTolerance) << what;
  EXPECT_NEAR(actual.b, expected.b, kColorTolerance) << what;
  EXPECT_NEAR(actual.a, expected.a, kColorTolerance) << what;
}

// A textured square facing a camera that moves from 5 to 4 units away over half a second,
// lit head-on by a distant light at half intensity, in blue fog from 2 to 12 units; a
// square turned away stands in front of it and must be culled.
TEST_F(RendererTest, DrawsALitFoggedTexturedSquareThroughAMovingCamera) {
  testing::writeSquare(dir_, "brown.lwo", {200, 100, 40});
  testing::writeSquare(dir_, "red.lwo", {255, 0, 0});
  scene::Scene& scene = load(
      testing::header(0, 60) + testing::object("brown.lwo", still({})) +
      testing::object("red.lwo", still({.z = -1, .heading = 180})) + "AmbientColor 0 0 0\nAmbIntensity 0\n" +
      // Heading 180 turns the light's own +z towards the camera.
      testing::light(still({.heading = 180}), {255, 255, 255}, "0.5", 0) +
      "FogMinDist 2\nFogMaxDist 12\nFogColor 0 0 255\nBackdropColor 0 255 0\n" +
      testing::camera(testing::motionSection({{.z = -5, .frame = 0}, {.z = -3, .frame = 30}})));
  context_.aspect = 1.0f;

  struct Frame {
    float t;
    Rgba square;          // texel x 0.5 light, then fog f = (12 - d) / 10
    bool edgeInSquare;    // pixel 25: inside the square's 8-pixel half width at d = 4 only
  };
  const Frame frames[] = {
      {0.0f, {70, 35, 91, 255}, false},         // d = 5, f = 0.7
      {kHalfSecond, {80, 40, 67, 255}, true},  // d = 4, f = 0.8
  };
  const Rgba backdrop{0, 255, 0, 0};
  for (const Frame& frame : frames) {
    SCOPED_TRACE(frame.t);
    render(scene, frame.t);
    gl_.finish();
    const std::vector<std::uint8_t> pixels = gl_.readPixels();
    expectColor(pixelAt(gl_, pixels, 32, 32), frame.square, "centre");
    expectColor(pixelAt(gl_, pixels, 25, 32), frame.edgeInSquare ? frame.square : backdrop, "edge");
    expectColor(pixelAt(gl_, pixels, 2, 2), backdrop, "corner");
  }
}

}  // namespace
}  // namespace tessarine::render
