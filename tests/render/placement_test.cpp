// Where items stand: modelview matrices of objects and the camera's view, from
// scene files written with the format writer, against matrices worked out by hand.
#include "render/placement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include "formats/lws_writer.h"
#include "support/temp_dir.h"

namespace tessarine::render {
namespace {

using formats::LwsMotion;
using formats::LwsObject;
using formats::LwsScene;
using Matrix = std::array<float, 16>;

// Rotation parts, columns x, y, z of the item in eye space: mirror only; mirror after
// heading -90 (a camera turned by 90); mirror after heading 90 (an item turned by 90).
constexpr float kMirror[] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0};
constexpr float kCameraTurned[] = {0, 0, -1, 0, 0, 1, 0, 0, -1, 0, 0, 0};
constexpr float kItemTurned[] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0};

Matrix withTranslation(const float (&rotation)[12], float x, float y, float z) {
  Matrix m{};
  std::copy(std::begin(rotation), std::end(rotation), m.begin());
  std::tie(m[12], m[13], m[14], m[15]) = std::tuple(x, y, z, 1.0f);
  return m;
}

// One still key: position and heading.
LwsMotion at(float x, float y, float z, float heading = 0) {
  formats::LwsMotionKey key;
  key.values = {x, y, z, heading, 0, 0, 1, 1, 1};
  return {key};
}

LwsObject null(LwsMotion motion, std::optional<std::uint32_t> parent = std::nullopt) {
  return {.objectFile = "", .nullName = "Null", .motion = std::move(motion), .parent = parent};
}

LwsScene withCamera(LwsMotion camera, std::vector<LwsObject> objects) {
  LwsScene scene;
  scene.camera.motion = std::move(camera);
  scene.objects = std::move(objects);
  return scene;
}

struct Case {
  const char* what;
  LwsScene scene;
  double seconds = 0;
  std::array<float, 3> shake{};
  Matrix expected;
};

TEST(PlacementTest, ItemsStandWhereTheyWereWorkedOutByHand) {
  LwsScene halfway = withCamera(at(0, 0, 0), {null({{}, {}})});
  halfway.objects[0].motion[1].values[0] = 3;
  halfway.objects[0].motion[1].frame = 30;
  halfway.objects[0].motion[1].linear = true;
  LwsScene hanging = withCamera(at(0, 0, 2), {null(at(5, 0, 0, 90)), null(at(0, 0, 0))});
  hanging.camera.parent = 0;
  LwsScene deep = withCamera(at(0, 0, 0), {null(at(1, 0, 0))});
  for (std::uint32_t i = 1; i < 5000; ++i) deep.objects.push_back(null(at(1, 0, 0), i - 1));

  const Case cases[] = {
      {"object at (1, 2, 3) seen from the origin", withCamera(at(0, 0, 0), {null(at(1, 2, 3))}), 0, {},
       withTranslation(kMirror, 1, 2, -3)},
      {"camera turned by heading 90 rotates before it translates", withCamera(at(2, 0, 0, 90), {null(at(0, 0, 0))}),
       0, {}, withTranslation(kCameraTurned, 0, 0, 2)},
      {"child of a parent turned by 90 at (5, 0, 0)",
       withCamera(at(0, 0, 0), {null(at(5, 0, 0, 90)), null(at(0, 0, 1), 0)}), 0, {},
       withTranslation(kItemTurned, 6, 0, 0)},
      {"a parent that comes after its child in the file",
       withCamera(at(0, 0, 0), {null(at(0, 0, 1), 1), null(at(5, 0, 0, 90))}), 0, {},
       withTranslation(kItemTurned, 5, 0, 0)},
      {"camera hanging from a turned parent", hanging, 0, {}, withTranslation(kCameraTurned, 2, 0, 5)},
      {"shake moves the view before the camera turns", withCamera(at(0, 0, 0, 90), {null(at(0, 0, 0))}), 0,
       {1, 2, 3}, withTranslation(kCameraTurned, 1, 2, -3)},
      {"half a second is frame 15 at 30 frames a second", halfway, 0.5, {},
       withTranslation(kMirror, 1.5f, 0, 0)},
      {"a chain of five thousand parents", deep, 0, {}, withTranslation(kMirror, 5000, 0, 0)},
  };
  testing::TempDir dir;
  scene::DemoContext context(dir.str());
  Placement placement;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir.write("place.lws", formats::writeLws(c.scene));
    scene::Scene scene(context, "place.lws", 1.0f);
    placement.update(scene, c.seconds, c.shake);
    const anim::Matrix4 actual = placement.objectModelview(scene.objects.size() - 1);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.m[i], c.expected[i], 1e-5f * std::max(1.0f, std::abs(c.expected[i]))) << i;
  }
}

}  // namespace
}  // namespace tessarine::render
