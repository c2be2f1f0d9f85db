// The scene file writer: its numbers, its refusals, and scenes read back by the player's
// own scene reader with every item, parent, envelope and setting in place.
#include <gtest/gtest.h>

#include "common/error.h"
#include <string>

#include "formats/lws_writer.h"
#include "formats/lwo2_writer.h"
#include "formats/tga_writer.h"
#include "scene/scene.h"
#include "support/temp_dir.h"

namespace tessarine::formats {
namespace {

LwsMotionKey key(std::uint32_t frame, float x, float heading = 0) {
  LwsMotionKey k{.frame = frame};
  k.values[kLwsX] = x;
  k.values[kLwsHeading] = heading;
  return k;
}

TEST(LwsNumber, FixedPointWithoutTrailingZerosOrNegativeZero) {
  const std::pair<float, const char*> cases[] = {
      {0.0f, "0"}, {-0.0f, "0"}, {1.0f, "1"}, {0.25f, "0.25"}, {-12.5f, "-12.5"},
      {1e-7f, "0"}, {-1e-7f, "0"}, {3.2f, "3.2"}, {1234567.0f, "1234567"}, {0.000001f, "0.000001"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(formatLwsNumber(value), text) << value;
  EXPECT_THROW(formatLwsNumber(std::numeric_limits<float>::infinity()), common::Error);
}

// One scene of every kind of item, written and read back by the player's reader.
class LwsRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    ObjectData box;
    box.points = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    box.uvs = {{0, 0}, {0, 1}, {1, 1}};
    box.polygons = {{0, 1, 2}};
    dir.write("box.lwo", writeLwo2(box));
    dir.write("box.tga", writeTga({.width = 1, .height = 1, .pixels = {10, 20, 30}}));  // the player reads it too
  }

  scene::Scene read(const LwsScene& lws) {
    dir.write("T.lws", writeLws(lws));
    return scene::Scene(context, "T.lws", 0.5f);
  }

  testing::TempDir dir;
  scene::DemoContext context{dir.str(), [](const mesh::Image&, float) { return mesh::Texture(); }};
};

TEST_F(LwsRoundTrip, EveryItemAndSettingComesBack) {
  LwsScene lws;
  lws.firstFrame = 30;
  lws.lastFrame = 120;
  lws.framesPerSecond = 30;
  LwsObject rig;
  rig.nullName = "Rig";
  rig.motion = {key(0, 1), key(60, 2)};
  rig.parent = 2;  // a parent listed after its child
  lws.objects.push_back(rig);
  LwsObject box;
  box.objectFile = "box.lwo";
  box.motion = {key(0, 5, 90)};
  box.parent = 0;
  lws.objects.push_back(box);
  LwsObject second = box;  // the same file: one mesh
  second.parent.reset();
  lws.objects.push_back(second);

  LwsLight distant;
  distant.type = LwsLightType::kDistant;
  distant.color = {255, 128, 0};
  distant.intensity = 0.5f;
  distant.motion = {key(0, 0)};
  LwsLight point;
  point.parent = 1;
  point.intensity = LwsEnvelope{{0, 0}, {1, 30, true}};
  point.motion = {key(0, 3)};
  LwsLight spot;
  spot.type = LwsLightType::kSpot;
  spot.coneAngle = LwsEnvelope{{10, 0}, {40, 90}};
  spot.motion = {key(0, 4)};
  LwsLight plainSpot = spot;
  plainSpot.coneAngle = 30.0f;
  lws.lights = {distant, point, spot, plainSpot};

  lws.camera.motion = {key(0, 0), key(120, 10)};
  lws.camera.parent = 0;
  lws.camera.zoom = LwsEnvelope{{1, 0}, {3.2f, 120}};
  lws.camera.focalDistance = LwsValue(LwsEnvelope{{0.5f, 0}, {0, 15, true}});
  lws.ambientColor = {255, 128, 0};
  lws.ambientIntensity = 0.5f;
  lws.backdropColor = {255, 0, 0};
  lws.fogMinDistance = LwsEnvelope{{2, 0}, {20, 60}};
  lws.fogMaxDistance = 300.0f;
  lws.fogColor = {0, 0, 255};

  scene::Scene s = read(lws);
  EXPECT_DOUBLE_EQ(s.startTime, 1.0);
  EXPECT_DOUBLE_EQ(s.endTime, 4.0);
  ASSERT_EQ(s.objects.size(), 3u);
  EXPECT_EQ(s.objects[0].mesh, nullptr);
  EXPECT_EQ(s.objects[0].parent, &s.objects[2]);
  EXPECT_EQ(s.objects[1].parent, &s.objects[0]);
  EXPECT_EQ(s.objects[1].mesh, s.objects[2].mesh);
  EXPECT_EQ(context.meshes.size(), 1u);
  ASSERT_EQ(s.objects[0].motion->keyCount(), 2u);
  EXPECT_EQ(s.objects[0].motion->keys()[1].frame, 60u);
  EXPECT_FLOAT_EQ(s.objects[1].motion->keys()[0].values[anim::kHeading], 90);

  ASSERT_EQ(s.lights.size(), 4u);
  EXPECT_EQ(s.lights[0].lightType, scene::kDistant);
  EXPECT_NEAR(s.lights[0].color[0], 0.5f, 1e-6);
  EXPECT_NEAR(s.lights[0].color[1], 128 / 255.0f * 0.5f, 1e-6);
  EXPECT_EQ(s.lights[1].parent, &s.objects[1]);
  ASSERT_TRUE(s.lights[1].intensityEnvelope);
  EXPECT_EQ(s.lights[1].intensityEnvelope->keys()[1].linear, 1u);
  ASSERT_TRUE(s.lights[2].coneEnvelope);
  EXPECT_FLOAT_EQ(s.lights[2].coneEnvelope->keys()[1].value, 40);
  EXPECT_FLOAT_EQ(s.lights[3].coneAngle.value_or(0), 30);

  EXPECT_EQ(s.camera.parent, &s.objects[0]);
  ASSERT_TRUE(s.camera.zoomEnvelope);
  EXPECT_FLOAT_EQ(s.camera.zoomEnvelope->keys()[1].value, 3.2f);
  ASSERT_TRUE(s.shakeEnvelope);
  EXPECT_FLOAT_EQ(s.shakeEnvelope->keys()[0].value, 0.5f);
  ASSERT_TRUE(s.ambientColor);
  EXPECT_NEAR((*s.ambientColor)[1], 128 / 255.0f * 0.5f, 1e-6);
  EXPECT_EQ(s.backdropColor.value_or(scene::Color3{}), (scene::Color3{1, 0, 0}));
  EXPECT_TRUE(s.fogMinEnvelope);
  EXPECT_FLOAT_EQ(s.fogMaxDistance.value_or(0), 300);
  EXPECT_FLOAT_EQ(s.fogColor.value_or(scene::Color4{})[2], 1);
}

TEST_F(LwsRoundTrip, PlainSettingsNoShakeWithoutFocalDistanceAndEightLightsAtMost) {
  LwsScene lws;
  lws.camera.motion = {key(0, 0)};
  lws.camera.zoom = 1.5f;
  lws.fogMaxDistance = 45.0f;
  LwsLight light;
  light.motion = {key(0, 0)};
  lws.lights.assign(kLwsMaxLights, light);
  scene::Scene s = read(lws);
  EXPECT_FLOAT_EQ(s.camera.zoomFactor.value_or(0), 1.5f);
  EXPECT_FALSE(s.camera.zoomEnvelope);
  EXPECT_EQ(s.camera.parentIndex, scene::kNoParent);
  EXPECT_EQ(s.shakeAmplitude, 0);
  EXPECT_FALSE(s.shakeEnvelope);
  EXPECT_TRUE(s.objects.empty());
  EXPECT_EQ(s.lights.size(), kLwsMaxLights);
  lws.lights.push_back(light);
  EXPECT_THROW(writeLws(lws), common::Error);
}

TEST(LwsWriter, RefusesWhatThePlayerCouldNotReadBack) {
  auto base = [] {
    LwsScene s;
    s.camera.motion = {key(0, 0)};
    LwsObject o;
    o.objectFile = "a.lwo";
    o.motion = {key(0, 0)};
    s.objects.push_back(o);
    return s;
  };
  struct Case {
    const char* what;
    void (*spoil)(LwsScene&);
  };
  const Case cases[] = {
      {"camera without keys", [](LwsScene& s) { s.camera.motion.clear(); }},
      {"keys out of order", [](LwsScene& s) { s.objects[0].motion = {key(10, 0), key(5, 1)}; }},
      {"two keys on one frame", [](LwsScene& s) { s.objects[0].motion = {key(0, 0), key(0, 1)}; }},
      {"envelope out of order", [](LwsScene& s) { s.fogMaxDistance = LwsEnvelope{{1, 9}, {2, 3}}; }},
      {"parent past the objects", [](LwsScene& s) { s.objects[0].parent = 1; }},
      {"camera parent past the objects", [](LwsScene& s) { s.camera.parent = 7; }},
      {"file name with a blank", [](LwsScene& s) { s.objects[0].objectFile = "a b.lwo"; }},
      {"empty null name", [](LwsScene& s) {
         s.objects[0].objectFile.clear();
         s.objects[0].nullName.clear();
       }},
      {"name too long for the reader", [](LwsScene& s) { s.objects[0].objectFile = std::string(128, 'a'); }},
      {"no frame rate", [](LwsScene& s) { s.framesPerSecond = 0; }},
      {"last frame before first", [](LwsScene& s) { s.firstFrame = 10, s.lastFrame = 5; }},
  };
  ASSERT_NO_THROW(writeLws(base()));
  for (const Case& c : cases) {
    LwsScene s = base();
    c.spoil(s);
    EXPECT_THROW(writeLws(s), common::Error) << c.what;
  }
}

}  // namespace
}  // namespace tessarine::formats
