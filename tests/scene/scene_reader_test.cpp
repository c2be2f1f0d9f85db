#include <gtest/gtest.h>

#include <filesystem>

#include "scene/scene.h"
#include "scene_text.h"

namespace tessarine::scene {
namespace {

using tessarine::testing::TempDir;
using namespace tessarine::scene::testing;

constexpr float kTolerance = 1e-6f;

std::string nineLights() {
  std::string text = kHeader;
  for (int i = 0; i < 9; ++i) text += lightItem(kPointLight);
  return text + cameraItem();
}

// A colour, or a colour the file must have set.
void expectColor(const auto& actual, std::initializer_list<float> expected) {
  if constexpr (requires { actual.has_value(); }) {
    ASSERT_TRUE(actual.has_value());
    return expectColor(*actual, expected);
  } else {
    ASSERT_EQ(actual.size(), expected.size());
    std::size_t i = 0;
    for (float value : expected) EXPECT_NEAR(actual[i++], value, kTolerance) << "component " << i - 1;
  }
}

TEST(SceneReaderTest, RefusesMalformedFilesWithClearMessages) {
  struct Case {
    std::string text;
    std::string message;
  };
  const std::string spotWithout = "LightColor 255 255 255\nLgtIntensity 1\nLightType 2\n";
  const Case cases[] = {
      {"", "Not LW Scene File"},
      {"lwsc\n1\n", "Not LW Scene File"},
      {"LWSC\n2\n", "Not LW v.5.6"},
      {"LWSC\n", "Not LW v.5.6"},
      {kHeader + "AmbientColor 255 255 255\nIntensity 1\n" + cameraItem(), "Lack of AmbIntensity"},
      {kHeader + "AmbientColor 255 255 255\n", "Lack of AmbIntensity"},
      // The optional lines must come in their order: a parent before the locked channels
      // leaves "LockedChannels" where the colour belongs.
      {kHeader + lightItem("ParentObject 0\nLockedChannels 0\n" + kPointLight), "Lack of LightColor"},
      {kHeader + lightItem(""), "Lack of LightColor"},
      {kHeader + lightItem("LightColor 255 255 255\nLightType 1\n"), "Lack of LgtIntensity"},
      {kHeader + lightItem("LightColor 255 255 255\nLgtIntensity 1\nConeAngle 30\n"), "Lack of LightType"},
      {kHeader + lightItem(spotWithout + "LightFalloff 0\n"), "Lack of ConeAngle"},
      {nineLights(), "This Light does not exist"},
      {kHeader + "AddNull Null\nShowObject 6 7\nObjectMotiom " + still(), "Not ObjectMotion"},
      {kHeader + "LoadObject missing.lwo\n" + objectPart(still()), "I can't open file {dir}/missing.lwo as rb"},
      {kHeader + "CameraMotion (unnamed)\n 8\n", "Not Motion Section"},
      {kHeader + "FogMaxDist (envelope)\n 2\n", "Not Envelope Section"},
      {"LWSC\n1\n" + cameraItem(), "FramesPerSecond must come before the first motion or envelope in {path} at line 3"},
      {"LWSC\n1\nFogMinDist (envelope)\n" + envelope({{0, 1}}),
       "FramesPerSecond must come before the first motion or envelope in {path} at line 3"},
      {"LWSC\n1\nFirstFrame 0\n", "No FramesPerSecond in {path}"},
      {"LWSC\n1\nFramesPerSecond 0\n", "FramesPerSecond must be above 0 in {path} at line 3"},
      {"LWSC\n1\nFramesPerSecond -30\n", "FramesPerSecond must be above 0 in {path} at line 3"},
      {kHeader, "No CameraMotion in {path}"},
      {kHeader + "CameraMotion " + still(), "The camera has no ZoomFactor value in {path}"},
      {kHeader + "CameraMotion " + still() + "ZoomFactor abc\n", "The camera has no ZoomFactor value in {path}"},
      {kHeader + nullItem() + nullItem({}, 2) + cameraItem(),
       "ParentObject 2 of object 1 names no object: {path} has objects 0 to 1"},
      {kHeader + lightItem("ParentObject 0\n" + kPointLight) + cameraItem(),
       "ParentObject 0 of light 0 names no object: {path} has no objects"},
      {kHeader + nullItem() + cameraItem({}, "ParentObject 1\n"),
       "ParentObject 1 of the camera names no object: {path} has objects 0 to 0"},
      {kHeader + nullItem({}, 0) + cameraItem(), "Object 0 is its own ancestor through ParentObject in {path}"},
      // Lines: the header takes 1 to 6, the null's name 7, its motion 9 to 14.
      {kHeader + "AddNull Null\nShowObject 6 7\nObjectMotion " + still() + "ParentObject 2147483648\n",
       "ParentObject 2147483648 names no object in {path} at line 15"},
      {kHeader + std::string(128, 'x') + "\n", "Token longer than 127 characters in {path} at line 7"},
      {kHeader + lightItem("LightColor 255 255 255\nLgtIntensity abc\nLightType 1\n"),
       "LgtIntensity needs a number or an envelope, found \"abc\" in {path} at line 14"},
      {kHeader + lightItem(spotWithout + "ConeAngle wide\n"),
       "ConeAngle needs a number or an envelope, found \"wide\" in {path} at line 16"},
      {kHeader + "AmbientColor 1 2 3\nAmbIntensity x\n",
       "AmbIntensity needs a number or an envelope, found \"x\" in {path} at line 8"},
      {kHeader + "FogMaxDist", "Unexpected end of file in {path}: expected FogMaxDist value"},
      {kHeader + "LoadObject", "Unexpected end of file in {path}: expected object file name"},
      {kHeader + "FogColor 255 -1 0\n", "Expected FogColor (an unsigned number), found \"-1\" in {path} at line 7"},
  };
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  for (const Case& c : cases) {
    std::string path = dir.write("s.lws", c.text);
    EXPECT_EQ(messageOf([&] { Scene(context, "s.lws", 1.0f); }), dir.expand(c.message, path)) << c.text;
  }
}

TEST(SceneReaderTest, RefusalsSayWhereAndWhatWasFound) {
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  writeObject(dir, "box.lwo");
  dir.write("box.tga", "");
  const std::pair<std::string, std::string> cases[] = {  // places after the data directory
      {"", "/s.lws, line 1: found the end of the file"},
      {kHeader + "FogMaxDist (envelope)\n 2\n", "/s.lws, line 8: found \"2\""},
      {kHeader + "LoadObject missing.lwo\n" + objectPart(still()), "/missing.lwo: No such file or directory"},
      // A fault inside an object's image keeps the image's own place.
      {kHeader + "LoadObject box.lwo\n" + objectPart(still()), "/box.tga, byte 0"},
  };
  for (const auto& [text, place] : cases) {
    dir.write("s.lws", text);
    EXPECT_EQ(tessarine::testing::placeOf([&] { Scene(context, "s.lws", 1.0f); }), dir.str() + place) << text;
  }
}

TEST(SceneReaderTest, OpenFailureAndOverlongPathsAreRefused) {
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  EXPECT_EQ(messageOf([&] { Scene(context, "none.lws", 1.0f); }), "I can't open file " + dir.str() + "/none.lws as rt");
  DemoContext deep(std::string(5000, 'd'), noTexture);
  EXPECT_EQ(messageOf([&] { Scene(deep, "s.lws", 1.0f); }).rfind("Path longer than 4095 characters", 0), 0u);
  // "-" stands for no directory: the name is the path.
  std::string path = dir.write("bare.lws", kHeader + cameraItem());
  DemoContext bare("-", noTexture);
  EXPECT_EQ(Scene(bare, path, 1.0f).fileName, path);
}

// Every scene-wide setting and every kind of item, each checked field by field.
const std::string kFullScene =
    "LWSC\n1\n\nFirstFrame 30\nLastFrame 120\nFramesPerSecond 30\n"
    "FocalDistance 0.25\nFogMinDist 10\nFogMaxDist (envelope)\n" + envelope({{0, 100}, {30, 400}}) +
    "FogColor 255 0 51\nBackdropColor 0 255 102\nAmbientColor 255 128 0\nAmbIntensity 0.5\n" +
    nullItem({.x = 1}) + objectItem("box.lwo", {.y = 2}, 0) +
    // A cone angle after a point light is not the light's: the loop skips it.
    lightItem("LockedChannels 0\nParentObject 1\nLightColor 255 255 255\nLgtIntensity 0.8\nLightType 1\n"
              "ConeAngle 45\n") +
    lightItem("LightColor 0 255 0\nLgtIntensity (envelope)\n" + envelope({{0, 2}}) +
              "LightType 2\nConeAngle (envelope)\n" + envelope({{0, 20}, {60, 40}})) +
    lightItem("LightColor 510 0 0\nLgtIntensity 1\nLightType 0\n") +
    "CameraMotion " + still({.z = -10}) + "LockedChannels 0\nParentObject 0\nZoomFactor 3.2\n";

TEST(SceneReaderTest, ReadsEverySettingAndItemOfAFullScene) {
  TempDir dir;
  writeObject(dir, "box.lwo");
  dir.write("full.lws", kFullScene);
  DemoContext context(dir.str(), noTexture);
  Scene scene(context, "full.lws", 0.1f);

  EXPECT_EQ(scene.firstFrame, 30u);
  EXPECT_EQ(scene.lastFrame, 120u);
  EXPECT_DOUBLE_EQ(scene.startTime, 1.0);
  EXPECT_DOUBLE_EQ(scene.endTime, 4.0);
  EXPECT_EQ(scene.nearPlane, 0.1f);
  EXPECT_EQ(scene.shakeAmplitude, 0.25f);
  EXPECT_EQ(scene.fogMinDistance, 10.0f);
  EXPECT_FALSE(scene.fogMaxDistance.has_value());
  ASSERT_NE(scene.fogMaxEnvelope, nullptr);
  // Half a second is frame 15, half way along the linear span from 100 to 400.
  EXPECT_NEAR(scene.fogMaxEnvelope->valueAt(0.5), 250.0f, 1e-3f);
  expectColor(scene.fogColor, {1, 0, 0.2f, 1});
  expectColor(scene.backdropColor, {0, 1, 0.4f});
  expectColor(scene.ambientColor, {0.5f, 0.2509804f, 0, 1});
  EXPECT_EQ(scene.ambientIntensity, 0.5f);

  ASSERT_EQ(scene.objects.size(), 2u);
  const SceneObject& null = scene.objects[0];
  EXPECT_EQ(null.mesh, nullptr);
  EXPECT_EQ(null.parent, nullptr);
  EXPECT_EQ(null.motion->keys()[0].values[anim::kPositionX], 1.0f);
  const SceneObject& box = scene.objects[1];
  ASSERT_NE(box.mesh, nullptr);
  EXPECT_EQ(box.mesh->pointCount(), 3u);
  EXPECT_EQ(box.parent, &scene.objects[0]);
  EXPECT_EQ(box.motion->keys()[0].values[anim::kPositionY], 2.0f);

  ASSERT_EQ(scene.lights.size(), 3u);
  const SceneLight& point = scene.lights[0];
  EXPECT_EQ(point.lightType, kPoint);
  EXPECT_EQ(point.parent, &scene.objects[1]);
  expectColor(point.color, {0.8f, 0.8f, 0.8f, 1});
  EXPECT_EQ(point.intensity, 0.8f);
  EXPECT_FALSE(point.coneAngle.has_value() || point.coneEnvelope);
  const SceneLight& spot = scene.lights[1];
  EXPECT_EQ(spot.lightType, kSpot);
  EXPECT_EQ(spot.parent, nullptr);
  // Enveloped intensity: the colour stays bare and is scaled each frame.
  expectColor(spot.color, {0, 1, 0, 1});
  EXPECT_FALSE(spot.intensity.has_value() || spot.coneAngle.has_value());
  ASSERT_TRUE(spot.intensityEnvelope && spot.coneEnvelope);
  EXPECT_EQ(spot.intensityEnvelope->valueAt(0), 2.0f);
  EXPECT_NEAR(spot.coneEnvelope->valueAt(1.0), 30.0f, 1e-3f);
  EXPECT_EQ(scene.lights[2].lightType, kDistant);
  // 510 over 255 is not clamped.
  expectColor(scene.lights[2].color, {2, 0, 0, 1});

  EXPECT_EQ(scene.camera.parent, &scene.objects[0]);
  EXPECT_EQ(scene.camera.zoomFactor, 3.2f);
  EXPECT_EQ(scene.camera.motion->keys()[0].values[anim::kPositionZ], -10.0f);
  EXPECT_EQ(context.meshes.size(), 1u);
}

TEST(SceneReaderTest, SettingsTheFileLeavesOutAreUnsetAndTheirDefaultsApply) {
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  dir.write("bare.lws", "LWSC\n1\nFramesPerSecond 25\n" + cameraItem());
  Scene bare(context, "bare.lws", 1.0f);
  EXPECT_FALSE(bare.firstFrame || bare.lastFrame || bare.ambientColor || bare.ambientIntensity || bare.fogColor ||
               bare.backdropColor || bare.fogMinDistance || bare.fogMaxDistance);
  EXPECT_EQ(bare.startTime, 0.0);
  EXPECT_EQ(bare.endTime, 0.0);
  expectColor(bare.effectiveAmbientColor(), {0.25f, 0.25f, 0.25f, 1});
  expectColor(bare.effectiveFogColor(), {0, 0, 0, 1});
  expectColor(bare.effectiveBackdropColor(), {0, 0, 0});
  EXPECT_EQ(bare.effectiveFogMinDistance(), 0.0f);
  EXPECT_EQ(bare.effectiveFogMaxDistance(), 1000.0f);
  // Without "FocalDistance" the camera never shakes.
  EXPECT_EQ(bare.shakeAmplitude, 0.0f);
  EXPECT_EQ(bare.shakeEnvelope, nullptr);

  // A missing last frame is the first: the scene lasts no time but starts where it should.
  dir.write("first.lws", "LWSC\n1\nFirstFrame 60\nFramesPerSecond 30\n" + cameraItem());
  Scene first(context, "first.lws", 1.0f);
  EXPECT_DOUBLE_EQ(first.startTime, 2.0);
  EXPECT_DOUBLE_EQ(first.endTime, 2.0);
}

TEST(SceneReaderTest, TheTokenLoopKeepsItsQuirks) {
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  const std::string text =
      kHeader +
      // A value slot reads its token into the loop's buffer; keywords later in the pass
      // see it, earlier ones do not.
      "FogMinDist AmbientColor 255 0 0 AmbIntensity 1\n"
      "FogMaxDist FramesPerSecond 25\n"
      // Other keywords, and the thirteen in another case, are skipped with their values.
      "ShowCamera 1 2\nGridSize 0.5\nfocaldistance 9\n"
      // The token after an object's motion, or after LockedChannels' number, is used up.
      "AddNull First\nShowObject 6 7\nObjectMotion " + still() + "FocalDistance 7\n" +
      "AddNull Second\nShowObject 6 7\nObjectMotion " + still() + "LockedChannels 0\nBackdropColor 1 2 3\n" +
      // The token after a camera's parent stands where the zoom may: never a keyword.
      "CameraMotion " + still() + "ParentObject 1\nFirstFrame 7\n" +
      // A null's name stays in the buffer, so a null called CameraMotion reads the camera.
      "AddNull CameraMotion\nShowObject 6 7\nObjectMotion " + still() + "ShadowOptions\n" + still({.x = 9}) +
      "ZoomFactor 5\n";
  dir.write("quirks.lws", text);
  Scene scene(context, "quirks.lws", 1.0f);
  EXPECT_FALSE(scene.fogMinDistance.has_value());
  expectColor(scene.ambientColor, {1, 0, 0, 1});
  EXPECT_FALSE(scene.fogMaxDistance.has_value());
  EXPECT_EQ(scene.framesPerSecond, 30.0f);
  EXPECT_EQ(scene.shakeAmplitude, 0.0f);
  EXPECT_FALSE(scene.backdropColor.has_value());
  EXPECT_EQ(scene.firstFrame, 0u);
  ASSERT_EQ(scene.objects.size(), 3u);
  // The second camera motion replaces the first; the first one's parent stays.
  EXPECT_EQ(scene.camera.motion->keys()[0].values[anim::kPositionX], 9.0f);
  EXPECT_EQ(scene.camera.parentIndex, 1);
  EXPECT_EQ(scene.camera.parent, &scene.objects[1]);
  EXPECT_EQ(scene.camera.zoomFactor, 5.0f);
}

TEST(SceneReaderTest, ParentsListedLaterAreFoundAndLightsTakeTheGlLightsInFileOrder) {
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  // Object 0 hangs from object 1, listed after it; the first light from object 0.
  std::string text = kHeader + nullItem({}, 1) + nullItem() + lightItem("ParentObject 0\n" + kPointLight);
  for (int i = 1; i < 8; ++i) text += lightItem(kPointLight, {.x = static_cast<float>(i)});
  dir.write("parents.lws", text + cameraItem());
  Scene scene(context, "parents.lws", 1.0f);
  EXPECT_EQ(scene.objects[0].parent, &scene.objects[1]);
  EXPECT_EQ(scene.lights[0].parent, &scene.objects[0]);
  ASSERT_EQ(scene.lights.size(), kMaxLights);
  for (unsigned i = 0; i < kMaxLights; ++i) {
    EXPECT_EQ(scene.lights[i].glLight, 0x4000u + i);  // GL_LIGHT0 + i
    EXPECT_EQ(scene.lights[i].motion.keys()[0].values[anim::kPositionX], static_cast<float>(i));
  }
}

TEST(SceneReaderTest, LongParentChainsAndCyclesAreHandledWithoutRecursion) {
  TempDir dir;
  DemoContext context(dir.str(), noTexture);
  constexpr int kDepth = 20000;
  std::string chain = kHeader + nullItem();
  for (int i = 1; i < kDepth; ++i) chain += nullItem({}, i - 1);
  dir.write("chain.lws", chain + cameraItem());
  Scene scene(context, "chain.lws", 1.0f);
  EXPECT_EQ(scene.objects.back().parent, &scene.objects[kDepth - 2]);
  // The same chain with its root hung from its last object.
  std::string cycle = kHeader + nullItem({}, kDepth - 1);
  for (int i = 1; i < kDepth; ++i) cycle += nullItem({}, i - 1);
  std::string path = dir.write("cycle.lws", cycle + cameraItem());
  EXPECT_EQ(messageOf([&] { Scene(context, "cycle.lws", 1.0f); }),
            "Object 0 is its own ancestor through ParentObject in " + path);
}

TEST(SceneReaderTest, AnObjectFileIsReadOnceForEveryScene) {
  TempDir dir;
  writeObject(dir, "box.lwo");
  int texturesMade = 0;
  DemoContext context(dir.str(), [&](const mesh::Image& image, float priority) {
    ++texturesMade;
    return noTexture(image, priority);
  });
  writeObject(dir, "cone.lwo");
  dir.write("a.lws", kHeader + objectItem("box.lwo") + objectItem("./box.lwo") + objectItem("cone.lwo") + cameraItem());
  dir.write("b.lws", kHeader + objectItem(".//box.lwo") + objectItem("box.lwo") + cameraItem());
  Scene a(context, "a.lws", 1.0f);
  // Files are known by identity: every spelling of the same file shares the first load.
  EXPECT_EQ(context.meshes.size(), 2u);
  EXPECT_EQ(texturesMade, 2);
  Scene b(context, "b.lws", 1.0f);
  EXPECT_EQ(context.meshes.size(), 2u);
  EXPECT_EQ(texturesMade, 2);
  EXPECT_EQ(a.objects[0].mesh, a.objects[1].mesh);
  EXPECT_NE(a.objects[0].mesh, a.objects[2].mesh);
  EXPECT_EQ(b.objects[0].mesh, a.objects[0].mesh);
  EXPECT_EQ(b.objects[1].mesh, a.objects[0].mesh);
}

TEST(SceneReaderTest, EveryTruncationOfAGoodFileLoadsOrIsRefused) {
  TempDir dir;
  writeObject(dir, "box.lwo");
  DemoContext context(dir.str(), noTexture);
  int loaded = 0;
  for (std::size_t length = 0; length < kFullScene.size(); ++length) {
    // A new name each time: rewriting one file makes the file system flush it.
    std::string name = "cut" + std::to_string(length) + ".lws";
    dir.write(name, kFullScene.substr(0, length));
    try {
      Scene scene(context, name, 1.0f);
      ++loaded;
    } catch (const common::Error&) {
    }
  }
  // Only the cuts after "3", "3." and "3.2" of the final zoom value still hold a zoom.
  EXPECT_EQ(loaded, 3);
}

}  // namespace
}  // namespace tessarine::scene
