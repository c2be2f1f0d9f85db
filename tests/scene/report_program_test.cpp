// The inspection tool run as a program on scenes it reads from a data directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <tuple>

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
      {"--verbose a.lws", 2, "The following argument was not expected: --verbose" + usage}};
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

}  // namespace
}  // namespace tessarine::scene
