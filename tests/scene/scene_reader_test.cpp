// The scene reader on scene text in memory: the message and place of every refusal, a full
// scene read back, parents, the shared mesh library, and every truncation of a good file.
#include <gtest/gtest.h>

#include <tuple>

#include "common/data_file.h"
#include "scene/scene.h"
#include "support/error_message.h"
#include "support/scene_files.h"
#include "support/temp_dir.h"

namespace tessarine::scene {
namespace {

using namespace tessarine::testing;


// Raw text where the malformed layout is the point: a one-key motion on one line, the
// header on lines 1 to 3, a light's motion on line 4.
std::string stillText(int x) { return "(unnamed) 9 1 " + std::to_string(x) + " 0 0 0 0 0 1 1 1 0 0 0 0 0 EndBehavior 1\n"; }
const std::string kStill = stillText(0);
const std::string kHeader = "LWSC\n1\nFramesPerSecond 30\n";
const std::string kCamera = "CameraMotion " + kStill + "ZoomFactor 3.2\n";
const std::string kPointLight = "LightColor 255 255 255\nLgtIntensity 1\nLightType 1\n";
const std::string kSpotLight = "LightColor 255 255 255\nLgtIntensity 1\nLightType 2\n";
std::string light(const std::string& settings) { return "LightMotion " + kStill + settings; }
std::string item(const std::string& load, const std::string& after = "ShadowOptions 7\n") {
  return load + "\nShowObject 6 7\nObjectMotion " + kStill + after;
}
std::string null(const std::string& after = "ShadowOptions 7\n") { return item("AddNull Null", after); }

class SceneReaderTest : public ::testing::Test {
 protected:
  // Reads `text` as the scene file `name`; its objects come from the directory.
  Scene read(const std::string& text, const std::string& name = "s.lws", float nearPlane = 1.0f) {
    return Scene(context_, name, common::bytesOf(text), nearPlane);
  }

  TempDir dir_;
  DemoContext context_{dir_.str()};
};

void expectColor(const auto& actual, std::initializer_list<float> expected) {
  for (std::size_t i = 0; float value : expected) EXPECT_NEAR(actual.value().at(i++), value, 1e-6f) << i - 1;
}

TEST_F(SceneReaderTest, RefusesMalformedFilesWithTheirMessagesAndPlaces) {
  std::string nineLights = kHeader;
  for (int i = 0; i < 9; ++i) nineLights += light(kPointLight);
  const struct {
    std::string text, message, place = "";  // "{dir}": the data directory
  } cases[] = {
      {"", "Not LW Scene File", "s.lws, line 1: found the end of the file"},
      {"LWSC\n2\n", "Not LW v.5.6"},
      {kHeader + "AmbientColor 255 255 255\nIntensity 1\n" + kCamera, "Lack of AmbIntensity"},
      // The optional lines must come in their order: a parent before the locked channels
      // leaves "LockedChannels" where the colour belongs.
      {kHeader + light("ParentObject 0\nLockedChannels 0\n" + kPointLight), "Lack of LightColor"},
      {kHeader + light("LightColor 255 255 255\nLightType 1\n"), "Lack of LgtIntensity"},
      {kHeader + light("LightColor 255 255 255\nLgtIntensity 1\nConeAngle 30\n"), "Lack of LightType"},
      {kHeader + light(kSpotLight + "LightFalloff 0\n"), "Lack of ConeAngle"},
      {nineLights + kCamera, "This Light does not exist"},
      {kHeader + "AddNull Null\nShowObject 6 7\nObjectMotiom " + kStill, "Not ObjectMotion"},
      {kHeader + item("LoadObject missing.lwo"), "I can't open file {dir}/missing.lwo as rb",
       "{dir}/missing.lwo: No such file or directory"},
      // A fault inside an object's image keeps the image's own place.
      {kHeader + item("LoadObject box.lwo"), "Unexpected end of file in {dir}/box.tga at byte 0", "{dir}/box.tga, byte 0"},
      {kHeader + "FogMaxDist (envelope)\n 2\n", "Not Envelope Section", "s.lws, line 5: found \"2\""},
      {"LWSC\n1\n" + kCamera, "FramesPerSecond must come before the first motion or envelope in s.lws at line 3"},
      {"LWSC\n1\nFirstFrame 0\n", "No FramesPerSecond in s.lws"},
      {"LWSC\n1\nFramesPerSecond 0\n", "FramesPerSecond must be above 0 in s.lws at line 3"},
      {kHeader, "No CameraMotion in s.lws"},
      {kHeader + "CameraMotion " + kStill, "The camera has no ZoomFactor value in s.lws"},
      {kHeader + null() + null("ParentObject 2\n") + kCamera,
       "ParentObject 2 of object 1 names no object: s.lws has objects 0 to 1"},
      {kHeader + light("ParentObject 0\n" + kPointLight) + kCamera,
       "ParentObject 0 of light 0 names no object: s.lws has no objects"},
      {kHeader + null() + "CameraMotion " + kStill + "ParentObject 1\nZoomFactor 3\n",
       "ParentObject 1 of the camera names no object: s.lws has objects 0 to 0"},
      {kHeader + null("ParentObject 0\n") + kCamera, "Object 0 is its own ancestor through ParentObject in s.lws"},
      {kHeader + null("ParentObject 2147483648\n"), "ParentObject 2147483648 names no object in s.lws at line 7"},
      {kHeader + std::string(128, 'x') + "\n", "Token longer than 127 characters in s.lws at line 4"},
      {kHeader + light("LightColor 255 255 255\nLgtIntensity abc\nLightType 1\n"),
       "LgtIntensity needs a number or an envelope, found \"abc\" in s.lws at line 6"},
      {kHeader + light(kSpotLight + "ConeAngle wide\n"),
       "ConeAngle needs a number or an envelope, found \"wide\" in s.lws at line 8"},
      {kHeader + "AmbientColor 1 2 3\nAmbIntensity x\n",
       "AmbIntensity needs a number or an envelope, found \"x\" in s.lws at line 5"},
      {kHeader + "FogMaxDist", "Unexpected end of file in s.lws: expected FogMaxDist value"},
      {kHeader + "LoadObject", "Unexpected end of file in s.lws: expected object file name"},
      {kHeader + "FogColor 255 -1 0\n", "Expected FogColor (an unsigned number), found \"-1\" in s.lws at line 4"},
  };
  dir_.write("box.lwo", formats::writeLwo2({.points = {{0, 0, 0}}, .uvs = {{0, 0}}, .polygons = {}}));
  dir_.write("box.tga", "");
  for (const auto& c : cases) {
    EXPECT_EQ(messageOf([&] { read(c.text); }), dir_.expand(c.message)) << c.text;
    EXPECT_EQ(c.place.empty() ? "" : placeOf([&] { read(c.text); }), dir_.expand(c.place));
  }
  // The scene file read from the data directory.
  EXPECT_EQ(messageOf([&] { Scene(context_, "none.lws", 1.0f); }), "I can't open file " + dir_.str() + "/none.lws as rt");
  DemoContext deep(std::string(5000, 'd'));
  EXPECT_EQ(messageOf([&] { Scene(deep, "s.lws", 1.0f); }).rfind("Path longer than 4095 characters", 0), 0u);
}

// Every scene-wide setting and every kind of item.
formats::LwsScene fullScene() {
  using enum formats::LwsLightType;
  formats::LwsScene s{
      .firstFrame = 30, .lastFrame = 120, .objects = {object("", still({.x = 1})), object("box.lwo", still({.y = 2}))},
      .lights = {{.motion = still({}), .parent = 1, .intensity = 0.8f},
                 {.motion = still({}), .color = {0, 255, 0}, .intensity = ramp({{0, 2}}), .type = kSpot,
                  .coneAngle = ramp({{0, 20}, {60, 40}})},
                 {.motion = still({}), .color = {510, 0, 0}, .type = kDistant}},
      .camera = {.motion = still({.z = -10}), .parent = 0, .focalDistance = 0.25f},
      .ambientColor = {255, 128, 0}, .ambientIntensity = 0.5f, .backdropColor = {0, 255, 102}, .fogMinDistance = 10.0f,
      .fogMaxDistance = ramp({{0, 100}, {30, 400}}), .fogColor = {255, 0, 51}};
  s.objects[1].parent = 0;
  return s;
}

TEST_F(SceneReaderTest, ReadsEverySettingAndItemOfAFullScene) {
  writeSquare(dir_.path(), "box.lwo", {1, 2, 3});
  Scene scene = read(formats::writeLws(fullScene()), "full.lws", 0.1f);
  EXPECT_EQ(std::tuple(*scene.firstFrame, *scene.lastFrame, scene.startTime, scene.endTime), std::tuple(30u, 120u, 1.0, 4.0));
  EXPECT_EQ(std::tuple(scene.nearPlane, scene.shakeAmplitude, *scene.fogMinDistance, *scene.ambientIntensity),
            std::tuple(0.1f, 0.25f, 10.0f, 0.5f));
  EXPECT_FALSE(scene.fogMaxDistance.has_value());
  // Half a second is frame 15, half way along the linear span from 100 to 400.
  EXPECT_NEAR(scene.fogMaxEnvelope->valueAt(0.5), 250.0f, 1e-3f);
  expectColor(scene.fogColor, {1, 0, 0.2f, 1});
  expectColor(scene.backdropColor, {0, 1, 0.4f});
  expectColor(scene.ambientColor, {0.5f, 0.2509804f, 0, 1});

  ASSERT_EQ(scene.objects.size(), 2u);
  const SceneObject &null = scene.objects[0], &box = scene.objects[1];
  EXPECT_FALSE(null.mesh || null.parent);
  EXPECT_EQ(std::tuple(box.mesh->pointCount(), box.parent), std::tuple(4u, &null));

  ASSERT_EQ(scene.lights.size(), 3u);
  const SceneLight &point = scene.lights[0], &spot = scene.lights[1];
  EXPECT_EQ(std::tuple(point.lightType, point.parent, point.intensity), std::tuple(kPoint, &box, 0.8f));
  expectColor(std::optional(point.color), {0.8f, 0.8f, 0.8f, 1});
  EXPECT_FALSE(point.coneAngle || point.coneEnvelope || spot.parent || spot.intensity || spot.coneAngle);
  // Enveloped intensity: the colour stays bare and is scaled each frame.
  expectColor(std::optional(spot.color), {0, 1, 0, 1});
  EXPECT_EQ(std::tuple(spot.lightType, spot.intensityEnvelope->valueAt(0)), std::tuple(kSpot, 2.0f));
  EXPECT_NEAR(spot.coneEnvelope->valueAt(1.0), 30.0f, 1e-3f);
  EXPECT_EQ(scene.lights[2].lightType, kDistant);
  expectColor(std::optional(scene.lights[2].color), {2, 0, 0, 1});  // 510 over 255 is not clamped

  EXPECT_EQ(std::tuple(scene.camera.parent, scene.camera.zoomFactor), std::tuple(&null, 3.2f));
  EXPECT_EQ(scene.camera.motion->keyedMotion()->keys()[0].values[anim::kPositionZ], -10.0f);
}

TEST_F(SceneReaderTest, ParentsAreFoundWhereverListedAndLightsTakeTheGlLightsInFileOrder) {
  // Object 0 hangs from object 1, listed after it; the first light from object 0.
  formats::LwsScene s{.objects = {object("", still({})), object("", still({}))}, .camera = {.motion = still({})}};
  s.objects[0].parent = 1;
  for (int i = 0; i < 8; ++i) s.lights.push_back({.motion = still({.x = static_cast<float>(i)})});
  s.lights[0].parent = 0;
  Scene scene = read(formats::writeLws(s));
  EXPECT_EQ(scene.objects[0].parent, &scene.objects[1]);
  EXPECT_EQ(scene.lights[0].parent, &scene.objects[0]);
  ASSERT_EQ(scene.lights.size(), kMaxLights);
  for (unsigned i = 0; i < kMaxLights; ++i) {
    EXPECT_EQ(std::tuple(scene.lights[i].glLight, scene.lights[i].motion.keyedMotion()->keys()[0].values[anim::kPositionX]),
              std::tuple(0x4000u + i, static_cast<float>(i)));  // GL_LIGHT0 + i
  }
  // A chain far deeper than any stack, then the same chain with its root hung from its end.
  constexpr int kDepth = 20000;
  std::string chain = kHeader + null(), cycle = kHeader + null("ParentObject " + std::to_string(kDepth - 1) + "\n");
  for (int i = 1; i < kDepth; ++i) chain += null("ParentObject " + std::to_string(i - 1) + "\n");
  for (int i = 1; i < kDepth; ++i) cycle += null("ParentObject " + std::to_string(i - 1) + "\n");
  EXPECT_EQ(read(chain + kCamera).objects.back().parentIndex, kDepth - 2);
  EXPECT_EQ(read(kHeader + null() + kCamera).effectiveFogColor(), (Color4{0, 0, 0, 1})) << "fog named nowhere";
  EXPECT_EQ(messageOf([&] { read(cycle + kCamera); }), "Object 0 is its own ancestor through ParentObject in s.lws");
}

TEST(SceneReaderMeshTest, AnObjectFileIsReadOnceForEveryScene) {
  TempDir dir;
  writeSquare(dir.path(), "box.lwo", {1, 2, 3});
  writeSquare(dir.path(), "cone.lwo", {1, 2, 3});
  DemoContext context(dir.str());
  const std::pair<const char*, std::vector<const char*>> scenes[] = {{"a.lws", {"box.lwo", "./box.lwo", "cone.lwo"}},
                                                                      {"b.lws", {".//box.lwo", "box.lwo"}}};
  for (const auto& [name, files] : scenes) {
    formats::LwsScene s{.camera = {.motion = still({})}};
    for (const char* file : files) s.objects.push_back(object(file, still({})));
    dir.write(name, formats::writeLws(s));
  }
  // Files are known by identity: every spelling of the same file shares the first load.
  Scene a(context, "a.lws", 1.0f), b(context, "b.lws", 1.0f);
  EXPECT_EQ(context.meshes.size(), 2u);
  EXPECT_NE(a.objects[0].mesh, a.objects[2].mesh);
  for (const SceneObject* o : {&a.objects[1], &b.objects[0], &b.objects[1]}) EXPECT_EQ(o->mesh, a.objects[0].mesh);
}

TEST_F(SceneReaderTest, EveryTruncationOfAGoodFileUpToItsZoomIsRefusedButTheLastThree) {
  writeSquare(dir_.path(), "box.lwo", {1, 2, 3});
  const std::string whole = formats::writeLws(fullScene());
  int loaded = 0;
  for (std::size_t length = 0; length <= whole.find("ZoomFactor 3.2\n") + 14; ++length) {
    loaded += messageOf([&] { read(whole.substr(0, length)); }) == "(no error)";
  }
  // Only the cuts after "3", "3." and "3.2" of the zoom value hold a zoom.
  EXPECT_EQ(loaded, 3);
}

}  // namespace
}  // namespace tessarine::scene
