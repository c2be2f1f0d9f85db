// The scene reader: the message and place of every refusal, a full scene read back, the
// token loop's quirks, parents, the shared mesh library, and every truncation of a good file.
#include <gtest/gtest.h>

#include <tuple>

#include "scene/scene.h"
#include "support/error_message.h"
#include "support/scene_files.h"
#include "support/temp_dir.h"

namespace tessarine::scene {
namespace {

using namespace tessarine::testing;

mesh::Texture noTexture(const mesh::Image&, float) { return mesh::Texture(); }

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

void expectColor(const auto& actual, std::initializer_list<float> expected) {
  if constexpr (requires { actual.has_value(); }) {
    ASSERT_TRUE(actual.has_value());
    return expectColor(*actual, expected);
  } else {
    for (std::size_t i = 0; float value : expected) EXPECT_NEAR(actual.at(i++), value, 1e-6f) << i - 1;
  }
}

TEST(SceneReaderTest, RefusesMalformedFilesWithTheirMessagesAndPlaces) {
  std::string nineLights = kHeader;
  for (int i = 0; i < 9; ++i) nineLights += light(kPointLight);
  const struct {
    std::string text, message, place = "";  // "{path}": the scene; "{dir}": the data directory
  } cases[] = {
      {"", "Not LW Scene File", "{path}, line 1: found the end of the file"},
      {"lwsc\n1\n", "Not LW Scene File"},
      {"LWSC\n2\n", "Not LW v.5.6"},
      {"LWSC\n", "Not LW v.5.6"},
      {kHeader + "AmbientColor 255 255 255\nIntensity 1\n" + kCamera, "Lack of AmbIntensity"},
      {kHeader + "AmbientColor 255 255 255\n", "Lack of AmbIntensity"},
      // The optional lines must come in their order: a parent before the locked channels
      // leaves "LockedChannels" where the colour belongs.
      {kHeader + light("ParentObject 0\nLockedChannels 0\n" + kPointLight), "Lack of LightColor"},
      {kHeader + light(""), "Lack of LightColor"},
      {kHeader + light("LightColor 255 255 255\nLightType 1\n"), "Lack of LgtIntensity"},
      {kHeader + light("LightColor 255 255 255\nLgtIntensity 1\nConeAngle 30\n"), "Lack of LightType"},
      {kHeader + light(kSpotLight + "LightFalloff 0\n"), "Lack of ConeAngle"},
      {nineLights + kCamera, "This Light does not exist"},
      {kHeader + "AddNull Null\nShowObject 6 7\nObjectMotiom " + kStill, "Not ObjectMotion"},
      {kHeader + item("LoadObject missing.lwo"), "I can't open file {dir}/missing.lwo as rb",
       "{dir}/missing.lwo: No such file or directory"},
      // A fault inside an object's image keeps the image's own place.
      {kHeader + item("LoadObject box.lwo"), "Unexpected end of file in {dir}/box.tga at byte 0", "{dir}/box.tga, byte 0"},
      {kHeader + "CameraMotion (unnamed)\n 8\n", "Not Motion Section"},
      {kHeader + "FogMaxDist (envelope)\n 2\n", "Not Envelope Section", "{path}, line 5: found \"2\""},
      {"LWSC\n1\n" + kCamera, "FramesPerSecond must come before the first motion or envelope in {path} at line 3"},
      {"LWSC\n1\nFogMinDist (envelope) 1 1 1 0 1 0 0 0 EndBehavior 1\n",
       "FramesPerSecond must come before the first motion or envelope in {path} at line 3"},
      {"LWSC\n1\nFirstFrame 0\n", "No FramesPerSecond in {path}"},
      {"LWSC\n1\nFramesPerSecond 0\n", "FramesPerSecond must be above 0 in {path} at line 3"},
      {kHeader, "No CameraMotion in {path}"},
      {kHeader + "CameraMotion " + kStill, "The camera has no ZoomFactor value in {path}"},
      {kHeader + "CameraMotion " + kStill + "ZoomFactor abc\n", "The camera has no ZoomFactor value in {path}"},
      {kHeader + null() + null("ParentObject 2\n") + kCamera,
       "ParentObject 2 of object 1 names no object: {path} has objects 0 to 1"},
      {kHeader + light("ParentObject 0\n" + kPointLight) + kCamera,
       "ParentObject 0 of light 0 names no object: {path} has no objects"},
      {kHeader + null() + "CameraMotion " + kStill + "ParentObject 1\nZoomFactor 3\n",
       "ParentObject 1 of the camera names no object: {path} has objects 0 to 0"},
      {kHeader + null("ParentObject 0\n") + kCamera, "Object 0 is its own ancestor through ParentObject in {path}"},
      {kHeader + null("ParentObject 2147483648\n"), "ParentObject 2147483648 names no object in {path} at line 7"},
      {kHeader + std::string(128, 'x') + "\n", "Token longer than 127 characters in {path} at line 4"},
      {kHeader + light("LightColor 255 255 255\nLgtIntensity abc\nLightType 1\n"),
       "LgtIntensity needs a number or an envelope, found \"abc\" in {path} at line 6"},
      {kHeader + light(kSpotLight + "ConeAngle wide\n"),
       "ConeAngle needs a number or an envelope, found \"wide\" in {path} at line 8"},
      {kHeader + "AmbientColor 1 2 3\nAmbIntensity x\n",
       "AmbIntensity needs a number or an envelope, found \"x\" in {path} at line 5"},
      {kHeader + "FogMaxDist", "Unexpected end of file in {path}: expected FogMaxDist value"},
      {kHeader + "LoadObject", "Unexpected end of file in {path}: expected object file name"},
      {kHeader + "FogColor 255 -1 0\n", "Expected FogColor (an unsigned number), found \"-1\" in {path} at line 4"},
  };
  TempDir dir;
  dir.write("box.lwo", formats::writeLwo2({.points = {{0, 0, 0}}, .uvs = {{0, 0}}, .polygons = {}}));
  dir.write("box.tga", "");
  DemoContext context(dir.str(), noTexture);
  for (const auto& c : cases) {
    std::string path = dir.write("s.lws", c.text);
    EXPECT_EQ(messageOf([&] { Scene(context, "s.lws", 1.0f); }), dir.expand(c.message, path)) << c.text;
    EXPECT_EQ(c.place.empty() ? "" : placeOf([&] { Scene(context, "s.lws", 1.0f); }), dir.expand(c.place, path));
  }
  EXPECT_EQ(messageOf([&] { Scene(context, "none.lws", 1.0f); }), "I can't open file " + dir.str() + "/none.lws as rt");
  DemoContext deep(std::string(5000, 'd'), noTexture);
  EXPECT_EQ(messageOf([&] { Scene(deep, "s.lws", 1.0f); }).rfind("Path longer than 4095 characters", 0), 0u);
}

// Every scene-wide setting and every kind of item.
formats::LwsScene fullScene() {
  formats::LwsScene s{.firstFrame = 30, .lastFrame = 120, .objects = {object("", still({.x = 1})),
                                                                     object("box.lwo", still({.y = 2}))}};
  s.objects[1].parent = 0;
  s.lights.resize(3);
  s.lights[0] = {.motion = still({}), .parent = 1, .intensity = 0.8f};
  s.lights[1] = {.motion = still({}), .color = {0, 255, 0}, .intensity = ramp({{0, 2}}),
                 .type = formats::LwsLightType::kSpot, .coneAngle = ramp({{0, 20}, {60, 40}})};
  s.lights[2] = {.motion = still({}), .color = {510, 0, 0}, .type = formats::LwsLightType::kDistant};
  s.camera = {.motion = still({.z = -10}), .parent = 0, .focalDistance = 0.25f};
  s.ambientColor = {255, 128, 0};
  s.ambientIntensity = 0.5f;
  s.backdropColor = {0, 255, 102};
  s.fogMinDistance = 10.0f;
  s.fogMaxDistance = ramp({{0, 100}, {30, 400}});
  s.fogColor = {255, 0, 51};
  return s;
}

TEST(SceneReaderTest, ReadsEverySettingAndItemOfAFullScene) {
  TempDir dir;
  writeSquare(dir.path(), "box.lwo", {1, 2, 3});
  dir.write("full.lws", formats::writeLws(fullScene()));
  DemoContext context(dir.str(), noTexture);
  Scene scene(context, "full.lws", 0.1f);

  EXPECT_EQ(std::tuple(*scene.firstFrame, *scene.lastFrame, scene.startTime, scene.endTime), std::tuple(30u, 120u, 1.0, 4.0));
  EXPECT_EQ(std::tuple(scene.nearPlane, scene.shakeAmplitude, *scene.fogMinDistance), std::tuple(0.1f, 0.25f, 10.0f));
  EXPECT_FALSE(scene.fogMaxDistance.has_value());
  // Half a second is frame 15, half way along the linear span from 100 to 400.
  EXPECT_NEAR(scene.fogMaxEnvelope->valueAt(0.5), 250.0f, 1e-3f);
  expectColor(scene.fogColor, {1, 0, 0.2f, 1});
  expectColor(scene.backdropColor, {0, 1, 0.4f});
  expectColor(scene.ambientColor, {0.5f, 0.2509804f, 0, 1});
  EXPECT_EQ(scene.ambientIntensity, 0.5f);

  ASSERT_EQ(scene.objects.size(), 2u);
  EXPECT_FALSE(scene.objects[0].mesh || scene.objects[0].parent);
  EXPECT_EQ(scene.objects[0].motion->keys()[0].values[anim::kPositionX], 1.0f);
  ASSERT_NE(scene.objects[1].mesh, nullptr);
  EXPECT_EQ(scene.objects[1].mesh->pointCount(), 4u);
  EXPECT_EQ(scene.objects[1].parent, &scene.objects[0]);
  EXPECT_EQ(scene.objects[1].motion->keys()[0].values[anim::kPositionY], 2.0f);

  ASSERT_EQ(scene.lights.size(), 3u);
  const SceneLight& point = scene.lights[0];
  EXPECT_EQ(std::tuple(point.lightType, point.parent, point.intensity), std::tuple(kPoint, &scene.objects[1], 0.8f));
  expectColor(point.color, {0.8f, 0.8f, 0.8f, 1});
  EXPECT_FALSE(point.coneAngle.has_value() || point.coneEnvelope);
  const SceneLight& spot = scene.lights[1];
  EXPECT_EQ(spot.lightType, kSpot);
  EXPECT_FALSE(spot.parent);
  // Enveloped intensity: the colour stays bare and is scaled each frame.
  expectColor(spot.color, {0, 1, 0, 1});
  EXPECT_FALSE(spot.intensity.has_value() || spot.coneAngle.has_value());
  ASSERT_TRUE(spot.intensityEnvelope && spot.coneEnvelope);
  EXPECT_EQ(spot.intensityEnvelope->valueAt(0), 2.0f);
  EXPECT_NEAR(spot.coneEnvelope->valueAt(1.0), 30.0f, 1e-3f);
  EXPECT_EQ(scene.lights[2].lightType, kDistant);
  expectColor(scene.lights[2].color, {2, 0, 0, 1});  // 510 over 255 is not clamped

  EXPECT_EQ(std::tuple(scene.camera.parent, scene.camera.zoomFactor), std::tuple(&scene.objects[0], 3.2f));
  EXPECT_EQ(scene.camera.motion->keys()[0].values[anim::kPositionZ], -10.0f);
}

TEST(SceneReaderTest, SettingsTheFileLeavesOutAreUnsetAndTheirDefaultsApply) {
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  dir.write("bare.lws", "LWSC\n1\nFramesPerSecond 25\n" + kCamera);
  Scene bare(context, "bare.lws", 1.0f);
  EXPECT_FALSE(bare.firstFrame || bare.lastFrame || bare.ambientColor || bare.ambientIntensity || bare.fogColor ||
               bare.backdropColor || bare.fogMinDistance || bare.fogMaxDistance || bare.shakeEnvelope);
  EXPECT_EQ(std::tuple(bare.startTime, bare.endTime, bare.shakeAmplitude), std::tuple(0.0, 0.0, 0.0f));
  expectColor(bare.effectiveAmbientColor(), {0.25f, 0.25f, 0.25f, 1});
  expectColor(bare.effectiveFogColor(), {0, 0, 0, 1});
  expectColor(bare.effectiveBackdropColor(), {0, 0, 0});
  EXPECT_EQ(std::pair(bare.effectiveFogMinDistance(), bare.effectiveFogMaxDistance()), std::pair(0.0f, 1000.0f));
  // A missing last frame is the first: the scene lasts no time but starts where it should.
  dir.write("first.lws", "LWSC\n1\nFirstFrame 60\nFramesPerSecond 30\n" + kCamera);
  Scene first(context, "first.lws", 1.0f);
  EXPECT_EQ(std::pair(first.startTime, first.endTime), std::pair(2.0, 2.0));
  // "-" stands for no directory: the name is the path.
  DemoContext bareContext("-", noTexture);
  EXPECT_EQ(Scene(bareContext, dir.str() + "/first.lws", 1.0f).fileName, dir.str() + "/first.lws");
}

TEST(SceneReaderTest, TheTokenLoopKeepsItsQuirks) {
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  dir.write("quirks.lws",
            kHeader +
                // A value slot reads its token into the loop's buffer; keywords later in the
                // pass see it, earlier ones do not.
                "FogMinDist AmbientColor 255 0 0 AmbIntensity 1\nFogMaxDist FramesPerSecond 25\n"
                // Other keywords, and the thirteen in another case, are skipped with their values.
                "ShowCamera 1 2\nGridSize 0.5\nfocaldistance 9\n"
                // The token after an object's motion, or after LockedChannels' number, is used up.
                + item("AddNull First", "FocalDistance 7\n") + item("AddNull Second", "LockedChannels 0\nBackdropColor 1 2 3\n") +
                // The token after a camera's parent stands where the zoom may: never a keyword.
                "CameraMotion " + kStill + "ParentObject 1\nFirstFrame 7\n" +
                // A null's name stays in the buffer, so a null called CameraMotion reads the camera.
                item("AddNull CameraMotion", "ShadowOptions\n") + stillText(9) +
                "ZoomFactor 5\n");
  Scene scene(context, "quirks.lws", 1.0f);
  EXPECT_FALSE(scene.fogMinDistance || scene.fogMaxDistance || scene.backdropColor || scene.firstFrame);
  expectColor(scene.ambientColor, {1, 0, 0, 1});
  EXPECT_EQ(std::pair(scene.framesPerSecond, scene.shakeAmplitude), std::pair(30.0f, 0.0f));
  ASSERT_EQ(scene.objects.size(), 3u);
  // The second camera motion replaces the first; the first one's parent stays.
  EXPECT_EQ(scene.camera.motion->keys()[0].values[anim::kPositionX], 9.0f);
  EXPECT_EQ(std::tuple(scene.camera.parentIndex, scene.camera.parent, scene.camera.zoomFactor),
            std::tuple(1, &scene.objects[1], 5.0f));
}

TEST(SceneReaderTest, ParentsAreFoundWhereverListedAndLightsTakeTheGlLightsInFileOrder) {
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  // Object 0 hangs from object 1, listed after it; the first light from object 0.
  formats::LwsScene s{.objects = {object("", still({})), object("", still({}))}, .camera = {.motion = still({})}};
  s.objects[0].parent = 1;
  for (int i = 0; i < 8; ++i) s.lights.push_back({.motion = still({.x = static_cast<float>(i)})});
  s.lights[0].parent = 0;
  dir.write("parents.lws", formats::writeLws(s));
  Scene scene(context, "parents.lws", 1.0f);
  EXPECT_EQ(scene.objects[0].parent, &scene.objects[1]);
  EXPECT_EQ(scene.lights[0].parent, &scene.objects[0]);
  ASSERT_EQ(scene.lights.size(), kMaxLights);
  for (unsigned i = 0; i < kMaxLights; ++i) {
    EXPECT_EQ(scene.lights[i].glLight, 0x4000u + i);  // GL_LIGHT0 + i
    EXPECT_EQ(scene.lights[i].motion.keys()[0].values[anim::kPositionX], static_cast<float>(i));
  }
  // A chain far deeper than any stack, then the same chain with its root hung from its end.
  constexpr int kDepth = 20000;
  std::string chain = kHeader + null(), cycle = kHeader + null("ParentObject " + std::to_string(kDepth - 1) + "\n");
  for (int i = 1; i < kDepth; ++i) chain += null("ParentObject " + std::to_string(i - 1) + "\n");
  for (int i = 1; i < kDepth; ++i) cycle += null("ParentObject " + std::to_string(i - 1) + "\n");
  dir.write("chain.lws", chain + kCamera);
  EXPECT_EQ(Scene(context, "chain.lws", 1.0f).objects.back().parentIndex, kDepth - 2);
  std::string path = dir.write("cycle.lws", cycle + kCamera);
  EXPECT_EQ(messageOf([&] { Scene(context, "cycle.lws", 1.0f); }), "Object 0 is its own ancestor through ParentObject in " + path);
}

TEST(SceneReaderTest, AnObjectFileIsReadOnceForEveryScene) {
  TempDir dir;
  writeSquare(dir.path(), "box.lwo", {1, 2, 3});
  writeSquare(dir.path(), "cone.lwo", {1, 2, 3});
  int texturesMade = 0;
  DemoContext context(dir.str(), [&](const mesh::Image& image, float priority) {
    ++texturesMade;
    return noTexture(image, priority);
  });
  auto write = [&](const char* name, std::initializer_list<const char*> files) {
    formats::LwsScene s{.camera = {.motion = still({})}};
    for (const char* file : files) s.objects.push_back(object(file, still({})));
    dir.write(name, formats::writeLws(s));
  };
  write("a.lws", {"box.lwo", "./box.lwo", "cone.lwo"});
  write("b.lws", {".//box.lwo", "box.lwo"});
  // Files are known by identity: every spelling of the same file shares the first load.
  Scene a(context, "a.lws", 1.0f), b(context, "b.lws", 1.0f);
  EXPECT_EQ(std::pair(context.meshes.size(), texturesMade), std::pair(std::size_t{2}, 2));
  EXPECT_NE(a.objects[0].mesh, a.objects[2].mesh);
  for (const SceneObject* o : {&a.objects[1], &b.objects[0], &b.objects[1]}) EXPECT_EQ(o->mesh, a.objects[0].mesh);
}

TEST(SceneReaderTest, EveryTruncationOfAGoodFileUpToItsZoomIsRefusedButTheLastThree) {
  TempDir dir;
  writeSquare(dir.path(), "box.lwo", {1, 2, 3});
  DemoContext context(dir.str(), noTexture);
  const std::string whole = formats::writeLws(fullScene());
  const std::size_t zoomEnd = whole.find("ZoomFactor 3.2\n") + 14;
  int loaded = 0;
  for (std::size_t length = 0; length <= zoomEnd; ++length) {
    // A new name each time: rewriting one file makes the file system flush it.
    std::string name = "cut" + std::to_string(length) + ".lws";
    dir.write(name, whole.substr(0, length));
    try {
      Scene scene(context, name, 1.0f);
      ++loaded;
    } catch (const common::Error&) {
    }
  }
  // Only the cuts after "3", "3." and "3.2" of the zoom value hold a zoom.
  EXPECT_EQ(loaded, 3);
}

}  // namespace
}  // namespace tessarine::scene
