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

// LightWave's own rule, with points carried through the modelview to the eye (z mirrored):
// scale and turn about the pivot, bank then pitch then heading, targets faced, and the camera's
// place undone exactly however it hangs.
TEST(PlacementTest, LightWavePlacementTurnsAboutThePivotFacesTargetsAndUndoesTheCamera) {
  testing::TempDir dir;
  scene::DemoContext context(dir.str());
  scene::Scene scene(context, "lw.lws", 1.0f, scene::TransformRule::kLightWave);
  auto motion = [](std::array<float, 9> values) {
    anim::MotionKey key;
    key.values = values;
    return std::make_unique<anim::ItemMotion>(anim::Motion({key}, 30));
  };
  scene.objects.resize(5);
  scene.objects[0].motion = motion({1, 2, 3, 90, 0, 0, 2, 2, 2});
  scene.objects[0].pivot = {1, 0, 0};
  scene.objects[1].motion = motion({0, 0, 0, 90, 90, 0, 1, 1, 1});
  scene.objects[2].motion = motion({0, 0, 0, 0, 0, 0, 1, 1, 1});  // aims at object 3
  scene.objects[2].target = &scene.objects[3];
  scene.objects[3].motion = motion({10, 0, 10, 0, 0, 0, 1, 1, 1});
  scene.objects[4].motion = motion({1, 0, -5, 0, 0, 0, 1, 1, 1});
  scene.camera.motion = motion({-10, 0, -15, 90, 0, 0, 1, 1, 1});
  scene.camera.parent = &scene.objects[3];

  Placement placement;
  placement.update(scene, 0, {});
  auto eye = [&](std::size_t object, std::array<float, 3> p) {
    const anim::Matrix4 m = placement.objectModelview(object);
    std::array<float, 3> out{};
    for (int r = 0; r < 3; ++r) out[r] = m.m[r] * p[0] + m.m[4 + r] * p[1] + m.m[8 + r] * p[2] + m.m[12 + r];
    return out;
  };
  auto expectEye = [&](std::size_t object, std::array<float, 3> p, std::array<float, 3> expected) {
    const std::array<float, 3> actual = eye(object, p);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-4f) << "object " << object << " axis " << i;
  };
  // The camera hangs from object 3 at (0, 0, -5), facing +x: it sees world (x, y, z) at
  // (-(z + 5), y, x), and the eye mirrors z.
  // Object 0: the pivot lands on the position; a point one along z from it is scaled to 2 and
  // turned by heading 90 to +x: world (3, 2, 3).
  expectEye(0, {1, 0, 0}, {-8, 2, -1});
  expectEye(0, {1, 0, 1}, {-8, 2, -3});
  // Object 1: bank, then pitch 90 tips +z down to -y, then heading leaves -y alone.
  expectEye(1, {0, 0, 1}, {-5, -1, 0});
  // Object 2 faces (10, 0, 10): its +z goes along the diagonal.
  const float d = std::sqrt(0.5f);
  expectEye(2, {0, 0, 1}, {-5 - d, 0, -d});
  // Object 4 stands one in front of the camera.
  expectEye(4, {0, 0, 0}, {0, 0, -1});
}

}  // namespace
}  // namespace tessarine::render
