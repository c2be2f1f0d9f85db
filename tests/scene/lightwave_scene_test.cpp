// The LightWave scene reader on scenes the scene writer makes in both dialects, on text
// written by hand where the layout is the point, and on the real scenes in the samples.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <tuple>

#include "common/data_file.h"
#include "common/error.h"
#include "formats/lightwave_scene_writer.h"
#include "scene/lightwave_scene_reader.h"
#include "support/error_message.h"

namespace tessarine::scene {
namespace {

using namespace tessarine::formats;
using tessarine::testing::messageOf;

std::unique_ptr<Scene> read(const std::string& text) {
  static DemoContext context(".");
  return readLightWaveScene(context, "s.lws", common::bytesOf(text), 1.0f);
}

LwscScene hierarchy(std::uint32_t version) {
  LwscScene s{.version = version, .ambientColor = {1, 0.2, 0}, .ambientIntensity = 0.5, .fogType = 1,
              .fogMinDistance = 10.0, .fogMaxDistance = 200.0, .fogColor = {0, 0.2, 1}};
  s.objects = {{.name = "Objects/My Ship.lwo", .layer = 2},
               {.name = "Pivot", .null = true, .item = {.parent = 0, .pivot = {{1, 2, 3}}}},
               {.name = "S:\\gun.lwo", .item = {.parent = 1, .target = 0}}};
  s.lights = {{.item = {.parent = 2}}};
  s.cameras[0].item = {.parent = 1, .target = 2};
  return s;
}

TEST(LightWaveSceneTest, ParentsTargetsPivotsAndColoursInEveryDialect) {
  for (std::uint32_t version : {1u, 3u, 5u}) {
    SCOPED_TRACE(version);
    const auto scene = read(writeLightWaveScene(hierarchy(version)));
    ASSERT_EQ(scene->objects.size(), 3u);
    const auto& o = scene->objects;
    EXPECT_EQ(std::tuple(o[0].parentIndex, o[1].parentIndex, o[2].parentIndex, o[2].targetIndex), std::tuple(-1, 0, 1, 0));
    EXPECT_EQ(std::tuple(o[1].parent, o[2].parent, o[2].target), std::tuple(&o[0], &o[1], &o[0]));
    EXPECT_EQ(o[1].pivot, (Vector3{1, 2, 3}));
    EXPECT_EQ(std::tuple(o[0].source.name, o[1].source.name, o[2].source.name),
              std::tuple("Objects/My Ship.lwo", "Pivot", "S:\\gun.lwo"));
    EXPECT_EQ(o[0].source.layer, version >= 3 ? std::optional<std::uint32_t>(2) : std::nullopt);
    EXPECT_EQ(std::tuple(scene->lights[0].parent, scene->camera.parent, scene->camera.target), std::tuple(&o[2], &o[1], &o[2]));
    EXPECT_EQ(std::tuple(scene->version, scene->rule, scene->leftOut.empty()), std::tuple(version, TransformRule::kLightWave, true));
    // Colours to 255 in LWSC 1, fractions later; ambient times its intensity.
    EXPECT_EQ(*scene->ambientColor, (Color4{0.5f, 0.1f, 0, 1}));
    EXPECT_EQ(*scene->fogColor, (Color4{0, 0.2f, 1, 1}));
    EXPECT_EQ(std::tuple(*scene->fogMinDistance, *scene->fogMaxDistance), std::tuple(10.0f, 200.0f));
  }
  // Object 0 hangs from 1 and 1 from 0; 2 from a light, 3 from no item.
  LwscScene s;
  s.objects = {{.name = "a", .item = {.parent = 1}}, {.name = "b", .item = {.parent = 0}},
               {.name = "c", .item = {.extra = "ParentItem 20000000\n"}}, {.name = "d", .item = {.parent = 7}}};
  const auto scene = read(writeLightWaveScene(s));
  EXPECT_EQ(std::tuple(scene->objects[0].parent, scene->objects[1].parent, scene->objects[2].parent, scene->objects[3].parent),
            std::tuple(&scene->objects[1], nullptr, nullptr, nullptr));
  EXPECT_EQ(scene->leftOut, (std::vector<std::string>{"parents that are no object", "parent cycles"}));
}

TEST(LightWaveSceneTest, MissingLinesTakeLightWavesDefaults) {
  const auto scene = read("LWSC\n3\n\nAddNullObject Empty\nAddLight\nLightType 2\nFogType 0\nFogMaxDistance 1\n");
  EXPECT_EQ(std::tuple(scene->framesPerSecond, *scene->firstFrame, *scene->lastFrame, scene->endTime), std::tuple(30.0f, 1u, 60u, 2.0));
  EXPECT_DOUBLE_EQ(scene->startTime, 1.0 / 30);
  EXPECT_EQ(std::tuple(*scene->camera.zoomFactor, scene->camera.motion->valueAt(0)[anim::kScaleZ]), std::tuple(3.2f, 1.0f));
  EXPECT_EQ(scene->objects[0].motion->valueAt(0), (anim::ChannelValues{0, 0, 0, 0, 0, 0, 1, 1, 1}));
  EXPECT_EQ(std::tuple(scene->objects[0].source.name, scene->objects[0].source.null), std::tuple("Empty", true));
  const SceneLight& light = scene->lights[0];
  EXPECT_EQ(std::tuple(light.color, *light.intensity, *light.coneAngle, light.glLight), std::tuple(Color4{1, 1, 1, 1}, 1.0f, 30.0f, kGlLight0));
  EXPECT_EQ(*scene->ambientColor, (Color4{0.25f, 0.25f, 0.25f, 1}));
  EXPECT_FALSE(scene->fogMaxDistance) << "a fog that is off must not clip the view";
  EXPECT_EQ(read("LWSC\n1\nAddLight\n")->lights[0].lightType, kDistant);
}

TEST(LightWaveSceneTest, UnknownLinesBlocksPluginsAndBonesArePassedOverAndNamed) {
  LwscScene s{.version = 4};
  s.objects = {{.name = "ship.lwo", .item = {.motion = lwscStill({5, 0, 0, 0, 0, 0, 1, 1, 1}),
                                             .extra = "UnknownKeyword 1 2\nAPSDisplay\n{ APS\n  { VParm\n    0\n  }\n}\n"
                                                      "Plugin ChannelHandler 1 LW_Expression\n  Plugin Nested 1 X\n"
                                                      "  EndPlugin\n  ParentItem 10000000\nEndPlugin\nGoalObject 1\n"
                                                      "AddBone 40000000\nBoneMotion\nNumChannels 1\nChannel 0\n{ Envelope\n"
                                                      "  1\n  Key 9 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\nParentItem 10000000\n"}}};
  s.lights = {{.item = {.extra = "LensFlare 1\n"}, .type = 3}};
  s.cameras.push_back({.name = "Second", .item = {.extra = "Plugin CameraHandler 1 Fisheye\nEndPlugin\n"}, .zoom = 5.0});
  s.currentCamera = 1;
  const auto scene = read(writeLightWaveScene(s));
  EXPECT_EQ(std::tuple(scene->objects[0].parent, scene->objects[0].motion->valueAt(0)[anim::kPositionX]), std::tuple(nullptr, 5.0f));
  EXPECT_EQ(std::tuple(scene->lights[0].lightType, *scene->camera.zoomFactor), std::tuple(kPoint, 5.0f));
  EXPECT_EQ(scene->leftOut, (std::vector<std::string>{"expressions", "IK", "bones", "lens flares", "plug-in blocks",
                                                      "extra cameras", "linear and area lights, drawn as point lights"}));
}

// A spot light's soft edge, and falloff: LightWave 6's types over its range, LightWave 5's linear
// fall per metre, as OpenGL's constant, linear and quadratic attenuation.
TEST(LightWaveSceneTest, SpotEdgesAndFalloffsBecomeOpenGLsTerms) {
  const auto lights = read("LWSC\n3\nAddLight\nLightType 2\nLightEdgeAngle 10\nLightFalloffType 3\nLightRange 2\n"
                           "AddLight\nLightFalloffType 2\nLightRange 4\nAddLight\nLightFalloffType 1\n");
  const auto& l = lights->lights;
  EXPECT_EQ(std::tuple(l[0].edgeAngle, l[0].attenuation, l[1].attenuation, l[2].attenuation),
            std::tuple(10.0f, std::array<float, 3>{0, 0, 0.25f}, std::array<float, 3>{0, 0.25f, 0},
                       std::array<float, 3>{1, 0, 0}));
  EXPECT_EQ(lights->leftOut, std::vector<std::string>{"light falloff without a range"});
  EXPECT_EQ(read("LWSC\n1\nAddLight\nFalloff 0.25\n")->lights[0].attenuation, (std::array<float, 3>{1, 0.25f, 0}));
}

// LightWave 5's end behaviours, at frame 45 of a straight run from x = 0 at frame 0 to 3 at 30:
// 0 resets every channel to 0, 1 holds the last key, 2 goes round the keyed span again.
TEST(LightWaveSceneTest, Lwsc1MotionsResetHoldOrRepeatAfterTheirLastKey) {
  auto after = [](int behaviour) {
    return read("LWSC\n1\nFramesPerSecond 30\nAddNull N\nObjectMotion (unnamed)\n 9\n 2\n 0 0 0 0 0 0 1 1 1\n 0 0 0 0 0\n"
                " 3 0 0 0 0 0 1 1 1\n 30 1 0 0 0\nEndBehavior " + std::to_string(behaviour) + "\n")
        ->objects[0].motion->valueAt(1.5)[anim::kPositionX];
  };
  EXPECT_EQ(std::tuple(after(0), after(1), after(2)), std::tuple(0.0f, 3.0f, 1.5f));
}

TEST(LightWaveSceneTest, MotionsAndEnvelopesKeepTheirKeysInEveryDialect) {
  // LWSC 5: nine channels and a tenth; TCB and 2D Bezier keys with their parameters.
  LwscScene s{.version = 5};
  LwscMotion motion = lwscStill({0, 0, 0, 0.5, 0, 0, 2, 2, 2});
  motion[0] = {.keys = {{.value = 1, .shape = 0, .params = {0.5, -0.5, 0.25, 1.5, 2.5, 0}},
                        {.value = 2, .time = 0.5, .shape = 5, .params = {-0.2, 0.1, 0.3, -0.4, 9, 9}}},
               .pre = 0, .post = 5};
  motion.push_back({.keys = {{.value = 7}}});
  s.objects = {{.name = "a.lwo", .item = {.motion = motion}}};
  s.cameras[0].item.motion = lwscStill({1, 2, 3, 0, 0, 0, 0, 0, 0});
  s.cameras[0].item.motion.resize(6);
  s.lights = {{.type = 2, .coneAngle = LwscChannel{.keys = {{.value = std::numbers::pi / 6}}}}};
  auto scene = read(writeLightWaveScene(s));
  const auto& channels = *scene->objects[0].motion->channels();
  const auto keys = channels[0].keys();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(std::tuple(keys[0].tension, keys[0].continuity, keys[0].bias, keys[0].params),
            std::tuple(0.5, -0.5, 0.25, std::array<double, 4>{1.5, 2.5, 0, 0}));
  EXPECT_EQ(std::tuple(keys[1].time, keys[1].shape, keys[1].tension, keys[1].params),
            std::tuple(0.5, anim::KeyShape::kBezier2, 0.0, std::array<double, 4>{-0.2, 0.1, 0.3, -0.4}));
  EXPECT_EQ(std::tuple(channels[0].pre(), channels[0].post()), std::tuple(anim::Behavior::kReset, anim::Behavior::kLinear));
  EXPECT_NEAR(scene->objects[0].motion->valueAt(0)[anim::kHeading], 0.5 * 180 / std::numbers::pi, 1e-4);
  EXPECT_EQ(scene->camera.motion->valueAt(0), (anim::ChannelValues{1, 2, 3, 0, 0, 0, 1, 1, 1}));
  EXPECT_NEAR(scene->lights[0].coneEnvelope->valueAt(0), 30, 1e-4);
  EXPECT_EQ(scene->leftOut, std::vector<std::string>{"channels beyond the nine"});

  // LWSC 1: the channels' keys together, in frames; envelopes in frames and degrees.
  LwscMotion twoKeys;
  for (int c = 0; c < 9; ++c) {
    twoKeys.push_back({.keys = {{.value = double(c)}, {.value = c + 10.0, .time = 1, .shape = 3, .params = {0.5, 0.1, -0.1}}}});
  }
  LwscScene old{.version = 1, .objects = {{.name = "a.lwo", .item = {.motion = twoKeys}}}};
  old.lights = {{.intensity = LwscChannel{.keys = {{.value = 2}}}, .type = 2, .coneAngle = LwscChannel{.keys = {{.value = 40}}}}};
  scene = read(writeLightWaveScene(old));
  const auto frames = scene->objects[0].motion->keyedMotion()->keys();
  EXPECT_EQ(std::tuple(frames[1].frame, frames[1].linear, frames[1].tension, frames[1].values[anim::kHeading]),
            std::tuple(30u, 1u, 0.5f, 13.0f));
  const SceneLight& spot = scene->lights[0];
  EXPECT_EQ(std::tuple(spot.coneEnvelope->valueAt(0), spot.intensityEnvelope->valueAt(0), spot.color),
            std::tuple(40.0f, 2.0f, Color4{1, 1, 1, 1}));

  // LWSC 2: channels keyed in seconds, rotations in degrees, behaviours after the channels.
  scene = read("LWSC\n2\n\nAddLight\nLightMotion (unnamed)\n  4\n  2\n  1 0 3 0 0 0\n  3 2 3 0 0 0\n  1\n  0 0 2 0 0 0\n"
               "  1\n  0 0 2 0 0 0\n  1\n  45 0 2 0 0 0\nPre/PostBehavior 1 2 1 1 1 1 1 1\n"
               "LightColor 255 0 0\nLgtIntensity 0.5\nLightType 1\nAddCamera\nCameraMotion (unnamed)\n 1\n 1\n 7 0 0 0 0 0\n");
  const SceneLight& light = scene->lights[0];
  EXPECT_EQ(std::tuple(light.motion.valueAt(1)[anim::kPositionX], light.motion.channels()->at(0).post(), light.color),
            std::tuple(2.0f, anim::Behavior::kRepeat, Color4{0.5f, 0, 0, 1}));
  EXPECT_NEAR(light.motion.valueAt(0)[anim::kHeading], 45, 1e-4);
  EXPECT_EQ(scene->camera.motion->valueAt(0)[anim::kPositionX], 7.0f);
}

TEST(LightWaveSceneTest, OfMoreThanEightLightsTheBrightestAtTheFirstFrameAreKeptInFileOrder) {
  LwscScene s;
  const double intensities[] = {5, 1, 9, 3, 7, 2, 8, 4, 6};
  for (int i = 0; i < 9; ++i) s.lights.push_back({.name = "L" + std::to_string(i), .intensity = intensities[i]});
  s.lights[1].color = {0.1, 0.1, 20};
  // Dim at 0 s but brightest of all at the first frame, 1/30 s.
  s.lights.push_back({.name = "L9", .intensity = LwscChannel{.keys = {{.value = 0.5}, {.value = 10, .time = 1.0 / 30, .shape = 3}}}});
  const auto scene = read(writeLightWaveScene(s));
  std::vector<std::string> names;
  for (std::size_t i = 0; i < scene->lights.size(); ++i) {
    names.push_back(scene->lights[i].name);
    EXPECT_EQ(scene->lights[i].glLight, kGlLight0 + i);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"L0", "L1", "L2", "L4", "L6", "L7", "L8", "L9"}));
  EXPECT_EQ(std::tuple(scene->lightsLeftOut, scene->lights[0].color), std::tuple(2u, Color4{5, 5, 5, 1}));
}

TEST(LightWaveSceneTest, MalformedFilesAreRefusedNamingTheFileAndTheLine) {
  const std::string v3 = "LWSC\n3\n";
  const std::string light = v3 + "AddLight\n";
  const std::string channel = v3 + "AddNullObject N\nObjectMotion\nChannel 0\n{ Envelope\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", "line 1: not a LightWave scene: the file does not begin with a line \"LWSC\""},
      {"LWSC\n6\n", "line 2: LWSC version 6 is none of the versions 1 to 5 LightWave writes"},
      {v3 + "FramesPerSecond 0\n", "line 3: FramesPerSecond must be above 0, found \"0\""},
      {light + "LightIntensity bright\n", "line 4: LightIntensity needs a number or \"(envelope)\", found \"bright\""},
      {light + "LightIntensity (envelope)\nLightType 1\n", "line 5: LightIntensity needs a \"{ Envelope\" block on the next line, found \"LightType\""},
      {light + "LightIntensity (envelope)\n{ Envelope\n  1\n  Key 1 0 0\n", "line 5: the envelope block that opens here has no end"},
      {channel + "  2\n  Key 1 0 0 0 0 0 0 0 0\n}\n", "line 9: the envelope holds 1 keys where its count says 2"},
      {channel + "  99999999\n", "line 7: the key count 99999999 is more than the rest of the file can hold"},
      {channel + "  1\n  Key nan 0 0\n}\n", "line 8: A key value needs a number, found \"nan\""},
      {channel + "  1\n  Key 1 0 6\n}\n", "line 8: A key's shape needs a whole number from 0 to 5, found \"6\""},
      {channel + "  1\n  Key 1e999 0 0\n}\n", "line 8: A key value needs a number, found \"1e999\""},
      {v3 + "APSDisplay\n{ APS\n  { VParm\n  }\n", "line 4: the block \"APS\" that opens here has no end"},
      {light + "Plugin LightHandler 1 X\n", "line 4: the plug-in that opens here has no \"EndPlugin\""},
      {v3 + "LoadObject\n", "line 3: LoadObject needs an object file name"},
      {v3 + "AddNullObject N\nParentItem 1000000g\n", "line 4: ParentItem needs an item id in hexadecimal, found \"1000000g\""},
      {v3 + "AddNullObject N\nParentObject -1\n", "line 4: ParentObject needs a whole number from 0 to 4294967295, found \"-1\""},
      // Line ends of every system: "\r\n" counts once, a lone "\r" (Macintosh) as one.
      {"LWSC\r\n1\rAddNull N\nObjectMotion (unnamed)\r\n 9\r 2\r\n 0 0 0 0 0 0 1 1 1\r 5 0 0 0 0\r\n 0 0 0 0 0 0 1 1 1\r 5 0 0 0 0\n",
       "line 10: the key at frame 5 does not come after the key at frame 5"},
      {"LWSC\n1\nAddNull N\nObjectMotion (unnamed)\n 9\n 1\n" + std::string(9, ' ') + std::string(40, '0') + " 0 0 0 0 0 0 1 1\n",
       "line 7: the file ends where the key's frame belongs"},
      {"LWSC\n1\nAddNull N\nObjectMotion (unnamed)\n 6\n", "line 5: a section of 6 channels where 9 belong"},
      {std::string("LWSC\n3\n\0", 8), "line 3: a NUL byte, which no scene file holds"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(messageOf([&] { read(text); }), "s.lws, " + message) << text;
  // Every cut of a good file in either dialect reads or is refused, and nothing else.
  for (std::uint32_t version : {1u, 4u}) {
    LwscScene s = hierarchy(version);
    s.lights[0].intensity = LwscChannel{.keys = {{.value = 1}, {.value = 2, .time = 1}}};
    const std::string whole = writeLightWaveScene(s);
    for (std::size_t length = 0; length < whole.size(); ++length) {
      try {
        read(whole.substr(0, length));
      } catch (const common::Error&) {
      }
    }
  }
  EXPECT_TRUE(looksLikeLightWaveScene(common::bytesOf(" LWSC\r\n3\n")));
  EXPECT_FALSE(looksLikeLightWaveScene(common::bytesOf("LWSC 3\n")) || looksLikeLightWaveScene(common::bytesOf("LWSC\n")));
}

TEST(LightWaveSceneTest, EverySampleSceneReads) {
  const std::filesystem::path folder = TESSARINE_SAMPLES "/lws";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no sample scenes at " << folder;
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ostringstream text;
    text << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    const auto scene = read(text.str());
    const std::string name = entry.path().filename().string();
    ++count;
    if (name == "QuickDraw v.2.2.lws") {
      // The chassis hangs from the master null, object 14; the rear wheels turn about a pivot.
      ASSERT_EQ(scene->objects.size(), 20u);
      EXPECT_EQ(std::tuple(scene->objects[0].parentIndex, scene->objects[1].pivot, *scene->lights[0].intensity),
                std::tuple(14, Vector3{0, 0.99f, 2.58f}, 1.6f));
      EXPECT_EQ(scene->leftOut, std::vector<std::string>{"IK"});
    } else if (name == "move_x_oldformat_56.lws") {
      EXPECT_NEAR(scene->lights[0].motion.valueAt(0)[anim::kHeading], 45, 1e-4);
    } else if (name == "move_x.lws") {
      const auto keys = scene->objects[0].motion->channels()->at(0).keys();
      EXPECT_EQ(std::tuple(scene->objects[0].source.name, *scene->objects[0].source.layer, keys.size()),
                std::tuple("simple_cube.lwo", 1u, 3u));
      EXPECT_NEAR(keys[1].value, 2.0691125, 1e-6);
    }
  }
  EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace tessarine::scene
