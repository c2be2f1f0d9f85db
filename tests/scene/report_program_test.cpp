// The inspection tool run as a program on scenes it reads from a data directory, and on
// LightWave objects with their images under a content folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numbers>
#include <tuple>

#include "formats/lightwave_object_writer.h"
#include "formats/lightwave_scene_writer.h"
#include "support/scene_files.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace tessarine::scene {
namespace {

using namespace tessarine::testing;

// Runs the tool with `arguments` (already quoted for the shell).
ProgramRun inspect(const TempDir& dir, const std::string& arguments) {
  return runProgram("'" TESSARINE_INSPECT "' " + arguments, dir.path());
}

TEST(InspectTest, FailuresAndBadArgumentsPrintOneLineAndNoDocument) {
  TempDir dir;
  dir.write("good.lws", formats::writeLws({.camera = {.motion = still({})}}));
  dir.write("bad.lws", "LWSC\n1\nFramesPerSecond 30\nAmbientColor 1 2 3\nFog\n");
  dir.write("x.lxo", std::string("FORM\0\0\0\4LXOB", 12));
  dir.write("lw.lws", "LWSC\n3\n");
  const std::string data = "--data '" + dir.str() + "' ", usage = "\nRun tessarine-inspect --help for the options.";
  const struct {
    std::string arguments;
    int status;
    std::string message;  // "{dir}" stands for the data directory
  } cases[] = {
      {data + "none.lws", 1, "I can't open file {dir}/none.lws as rt ({dir}/none.lws: No such file or directory)"},
      // A later scene that fails leaves no half document behind.
      {data + "good.lws bad.lws", 1, "Lack of AmbIntensity ({dir}/bad.lws, line 5: found \"Fog\")"},
      // No scenes named: the player's play list, from its first file.
      {data, 1, "I can't open file {dir}/S1.lws as rt ({dir}/S1.lws: No such file or directory)"},
      {"--data", 2, "--data: 1 required DIR missing" + usage},
      {"--near 0 a.lws", 2, "--near: expected a number above 0, not \"0\"" + usage},
      {"--near 1e39 a.lws", 2, "--near: 1e39 is too large: a near plane is a float, at most 3.4028235e+38" + usage},
      {"--verbose a.lws", 2, "The following argument was not expected: --verbose" + usage},
      {"--lightwave '" + dir.str() + "/x.lxo'", 1,
       "{dir}/x.lxo: not a LightWave object: FORM type LXOB ({dir}/x.lxo, byte 8)"},
      {"--near 1 --lightwave a.lwo", 2, "--lightwave reads LightWave files alone, not with the show's options or scenes" + usage},
      {"--at 1 --lightwave '" + dir.str() + "/x.lxo'", 1, "--at goes with scenes, not objects"},
      {"--lightwave '" + dir.str() + "/x.lxo' '" + dir.str() + "/lw.lws'", 1, "--lightwave reads objects or scenes, not both at once"}};
  for (const auto& c : cases) {
    ProgramRun run = inspect(dir, c.arguments);
    EXPECT_EQ(std::tuple(run.status, run.err, run.out),
              std::tuple(c.status, dir.expand("tessarine-inspect: " + c.message + "\n"), ""));
  }
}

// The document of a square one unit in front of the camera, its file named with bytes
// that are not UTF-8: valid JSON, the bad bytes replaced, values and matrices in force,
// and a time past the largest float held at it, the last key's values in force.
TEST(InspectTest, DocumentOfAScenePlacesItsItemsAndStaysValidJson) {
  TempDir dir;
  const std::string name = "sq\xfe\xff.lwo";
  writeSquare(dir.path(), name, {255, 255, 255});
  formats::LwsScene lws{.objects = {object(name, motion({{.z = 1}, {.x = 2, .z = 1, .frame = 30}}))}};
  lws.camera.motion = still({});
  dir.write("one.lws", formats::writeLws(lws));
  ProgramRun run = inspect(dir, "--data '" + dir.str() + "' --at 0.5 --at 1e308 one.lws");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json document = nlohmann::json::parse(run.out);
  EXPECT_EQ(document["meshes"][0]["name"], "sq\uFFFD\uFFFD.lwo");
  EXPECT_EQ(document["meshes"][0]["texture"], nlohmann::json({{"width", 4}, {"height", 4}}));
  const nlohmann::json& at = document["scenes"][0]["at"][0];
  EXPECT_EQ(at["time"], 0.5);
  // Halfway to x = 2, one unit ahead; z is mirrored into the eye's -z.
  EXPECT_EQ(at["modelview"]["objects"][0], nlohmann::json({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1, 0, -1, 1}));
  const nlohmann::json& late = document["scenes"][0]["at"][1];
  EXPECT_EQ(late["time"], 3.4028235e38);  // the largest float, written as short as it reads back
  EXPECT_EQ(late["modelview"]["objects"][0][12], 2);
}

// A LightWave scene in Scenes/ beside Objects/: its object found by the author's drive path under
// the folder above the scene's, a null with its name, parent (counted from 0) and pivot, an
// object that is nowhere named as missing, and the light's name.
TEST(InspectTest, LightWaveSceneReportsItsItemsAsWrittenAndWhatWasFound) {
  using namespace formats;
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "Content" / "Objects");
  writeSquare(dir.path() / "Content" / "Objects", "Ship.lwo", {255, 255, 255});
  LwscScene lws{.objects = {{.name = "C:\\LW\\Objects\\ship.lwo"},
                            {.name = "Rig", .null = true, .item = {.parent = 0, .pivot = std::array<double, 3>{1, 2, 3}}},
                            {.name = "gone.lwo"}},
                .lights = {{.name = "Sun"}}};
  const std::string scene = dir.write("Content/Scenes/s.lws", writeLightWaveScene(lws));
  ProgramRun run = inspect(dir, "--lightwave '" + scene + "' --at 0");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json document = nlohmann::json::parse(run.out)["scenes"][0];
  EXPECT_EQ(document["version"], 3);
  const nlohmann::json& o = document["objects"];
  auto item = [](const nlohmann::json& j) { return std::tuple(j["name"], j["file"], j["missing"], j["parentIndex"], j["pivot"]); };
  const nlohmann::json none;
  EXPECT_EQ(item(o[0]), std::tuple("C:\\LW\\Objects\\ship.lwo", dir.str() + "/Content/Objects/Ship.lwo", none, -1,
                                   nlohmann::json({0, 0, 0})));
  EXPECT_EQ(item(o[1]), std::tuple("Rig", none, none, 0, nlohmann::json({1, 2, 3})));
  EXPECT_EQ(item(o[2]), std::tuple("gone.lwo", none, "gone.lwo", -1, nlohmann::json({0, 0, 0})));
  EXPECT_EQ(document["lights"][0]["name"], "Sun");
  EXPECT_NE(run.err.find("s.lws: object gone.lwo not found, so it stays a null"), std::string::npos) << run.err;
}

// An object of two layers in Objects/ beside Images/: its own image named by the author's
// drive path and found case-loosely, by default under the folder above the object's; the other
// surface's image missing, said once on standard error.
TEST(InspectTest, LightWaveObjectReportsSurfacesAndFindsImagesUnderContent) {
  using namespace formats;
  TempDir dir;
  dir.write("Content/images/Wood.TGA", writeTga({.width = 2, .height = 1, .pixels = {0, 0, 255, 0, 255, 0}}));
  constexpr auto kLwo2 = LightWaveLayout::kLwo2;
  const std::string object = dir.write(
      "Content/Objects/crate.lwo",
      objectFile("LWO2",
                 {tagsChunk({"Wood", "Glass"}), layerChunk(0, {0, 0, 0}, ""),
                  pointsChunk({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}), polygonsChunk("FACE", {{0, 1, 2}, {0, 2, 3}}),
                  polygonTagsChunk("SURF", {{0, 0}, {1, 0}}),
                  layerChunk(1, {0, 0, 0}, ""), pointsChunk({{0, 0, 2}, {-1, 0, 2}, {0, 3, 2}}),
                  polygonsChunk("FACE", {{0, 1, 2}}), polygonTagsChunk("SURF", {{0, 1}}),
                  clipChunk(1, "C:\\LW\\Images\\wood.tga", kLwo2), clipChunk(2, "HD1:Images/gone.iff", kLwo2),
                  surfaceChunk({.name = "Wood", .color = {1, 0.5f, 0}, .blocks = {{.clip = 1}}}, kLwo2),
                  surfaceChunk({.name = "Glass", .transparency = 0.5f, .smoothingAngle = std::numbers::pi_v<float> / 4,
                                .doubleSided = true, .blocks = {{.projection = 1, .clip = 2}}},
                               kLwo2)}));
  ProgramRun run = inspect(dir, "--lightwave '" + object + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string image = dir.str() + "/Content/images/Wood.TGA";
  const nlohmann::json expected = {
      {"file", object}, {"format", "LWO2"}, {"layerCount", 2}, {"pointCount", 7}, {"polygonCount", 3},
      {"bounds", {{-1, 0, 0}, {1, 3, 2}}},
      {"surfaces",
       {{{"name", "Wood"}, {"color", {1, 0.5, 0}}, {"diffuse", 1}, {"luminosity", 0}, {"specular", 0},
         {"transparency", 0}, {"smoothingAngle", nullptr}, {"doubleSided", false}, {"polygonCount", 2},
         {"image", image}, {"projection", "planar"}},
        {{"name", "Glass"}, {"color", {1, 1, 1}}, {"diffuse", 1}, {"luminosity", 0}, {"specular", 0},
         {"transparency", 0.5}, {"smoothingAngle", 45}, {"doubleSided", true}, {"polygonCount", 1},
         {"image", nullptr}, {"projection", "cylindrical"}}}},
      {"images", {{{"file", image}, {"width", 2}, {"height", 1}, {"format", "TGA"}}}}};
  EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json({{"meshes", {expected}}}));
  // Looked for from the longest tail of the name, in the object's folder and each above it.
  EXPECT_TRUE(run.err.starts_with(dir.expand("tessarine-inspect: {path}: image HD1:Images/gone.iff not found; looked for "
                                             "{dir}/Content/Objects/Images/gone.iff, {dir}/Content/Images/gone.iff, ",
                                             object)))
      << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

}  // namespace
}  // namespace tessarine::scene
