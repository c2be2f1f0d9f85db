#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "headless/headless_gl.h"
#include "scene/scene.h"
#include "scene_text.h"

namespace tessarine::scene {
namespace {

using tessarine::testing::TempDir;
using namespace tessarine::scene::testing;

using Matrix = std::array<float, 16>;  // column-major, as OpenGL returns it

constexpr float kTolerance = 1e-5f;

struct Case {
  const char* what;
  std::string text;         // the scene's items after the header
  int light = -1;           // the light placed, or -1 for the last object
  double seconds = 0;
  std::array<float, 3> shake{};
  Matrix expected;          // worked out by hand
};

// Rotation parts worked out by hand, columns x, y, z of the item in eye space.
// Mirror only; mirror after heading -90 (a camera turned by 90); mirror after heading 90.
constexpr float kMirror[] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0};
constexpr float kCameraTurned[] = {0, 0, -1, 0, 0, 1, 0, 0, -1, 0, 0, 0};
constexpr float kItemTurned[] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0};

Matrix withTranslation(const float (&rotation)[12], float x, float y, float z) {
  Matrix m{};
  std::copy(std::begin(rotation), std::end(rotation), m.begin());
  std::tie(m[12], m[13], m[14], m[15]) = std::tuple(x, y, z, 1.0f);
  return m;
}

std::string deepChain(int depth) {
  std::string text = nullItem({.x = 1});
  for (int i = 1; i < depth; ++i) text += nullItem({.x = 1}, i - 1);
  return text;
}

TEST(PlacementTest, ItemsArePlacedAsTheRendererPlacesThem) {
  const Case cases[] = {
      {"object at (1, 2, 3) seen from the origin: eye (1, 2, -3)", cameraItem() + nullItem({.x = 1, .y = 2, .z = 3}),
       -1, 0, {}, withTranslation(kMirror, 1, 2, -3)},
      {"camera at (0, 0, -10): the origin lies 10 ahead", cameraItem({.z = -10}) + nullItem(), -1, 0, {},
       withTranslation(kMirror, 0, 0, -10)},
      {"camera turned by heading 90 rotates before it translates", cameraItem({.x = 2, .heading = 90}) + nullItem(),
       -1, 0, {}, withTranslation(kCameraTurned, 0, 0, 2)},
      {"camera scale takes no part in the view",
       cameraItem({.scaleX = 3, .scaleY = 3, .scaleZ = 3}) + nullItem({.x = 1, .y = 2, .z = 3}), -1, 0, {},
       withTranslation(kMirror, 1, 2, -3)},
      {"child of a parent turned by 90 at (5, 0, 0)",
       cameraItem() + nullItem({.x = 5, .heading = 90}) + nullItem({.z = 1}, 0), -1, 0, {},
       withTranslation(kItemTurned, 6, 0, 0)},
      {"non-uniform scale along the parent frame's axes, after the rotation",
       cameraItem() + nullItem({.heading = 90, .scaleX = 2}), -1, 0, {},
       {0, 0, 1, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0, 0, 0, 1}},
      // The camera's parent chain is undone root first: parent, then the camera.
      {"camera hanging from a turned parent",
       nullItem({.x = 5, .heading = 90}) + cameraItem({.z = 2}, "ParentObject 0\n") + nullItem(), -1, 0, {},
       withTranslation(kCameraTurned, 2, 0, 5)},
      {"shake moves the view before the camera turns", cameraItem({.heading = 90}) + nullItem(), -1, 0, {1, 2, 3},
       withTranslation(kCameraTurned, 1, 2, -3)},
      {"light hanging from a turned parent at (5, 0, 0)",
       cameraItem() + nullItem({.x = 5, .heading = 90}) + lightItem("ParentObject 0\n" + kPointLight, {.y = 1}), 0,
       0, {}, withTranslation(kItemTurned, 5, 1, 0)},
      {"half a second is frame 15 at 30 frames a second",
       cameraItem() + "AddNull Moving\n" + objectPart(motion({{0, {}}, {30, {.x = 3}}})), -1, 0.5, {},
       withTranslation(kMirror, 1.5f, 0, 0)},
      {"a chain of a thousand parents", cameraItem() + deepChain(1000), -1, 0, {},
       withTranslation(kMirror, 1000, 0, 0)},
  };
  headless::HeadlessGl gl(8, 8);
  glMatrixMode(GL_MODELVIEW);
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir.write("place.lws", kHeader + c.text);
    Scene scene(context, "place.lws", 1.0f);
    scene.shakeOffset = c.shake;
    if (c.light >= 0) {
      SceneLight& light = scene.lights.at(static_cast<std::size_t>(c.light));
      scene.placeItem(light.parent, light.motion, c.seconds);
    } else {
      SceneObject& object = scene.objects.back();
      scene.placeItem(object.parent, *object.motion, c.seconds);
    }
    Matrix actual{};
    glGetFloatv(GL_MODELVIEW_MATRIX, actual.data());
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], c.expected[i], kTolerance) << "element " << i;
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace tessarine::scene
