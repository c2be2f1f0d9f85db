// The inspection tool run as a program on scenes it reads from a data directory.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>
#include <vector>

#include "support/scene_files.h"
#include "support/temp_dir.h"

namespace tessarine::scene {
namespace {

using namespace tessarine::testing;
using Json = nlohmann::json;

struct ToolRun {
  int status = -1;
  std::string out, err;
};

// Runs the tool with `arguments` (already quoted for the shell) and collects both streams.
ToolRun inspect(const TempDir& dir, const std::string& arguments) {
  std::string command = "'" TESSARINE_INSPECT "' " + arguments + " >'" + dir.str() + "/out' 2>'" + dir.str() + "/err'";
  const int raw = std::system(command.c_str());
  std::ostringstream out, err;
  out << std::ifstream(dir.path() / "out").rdbuf();
  err << std::ifstream(dir.path() / "err").rdbuf();
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out.str(), err.str()};
}

TEST(InspectTest, ReportsScenesValuesMatricesAndTheSharedMeshes) {
  TempDir dir;
  writeSquare(dir.path(), "box.lwo", {1, 2, 3});
  formats::LwsScene a{.objects = {object("box.lwo", still({.x = 1, .y = 2, .z = 3})), object("", still({}))},
                      .camera = {.motion = still({})}, .fogMaxDistance = ramp({{0, 100}, {30, 400}})};
  a.lights = {{.motion = still({}), .parent = 1, .intensity = 0.5f, .type = formats::LwsLightType::kSpot}};
  dir.write("a.lws", formats::writeLws(a));
  dir.write("b.lws", formats::writeLws({.objects = {object("box.lwo", still({}))}, .camera = {.motion = still({}), .zoom = 2.0f}}));
  ToolRun run = inspect(dir, "--data '" + dir.str() + "' --near 0.5 --at 0 --at 0.5 a.lws b.lws");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const Json json = Json::parse(run.out);
  auto at = [&](const char* pointer) -> const Json& { return json.at(Json::json_pointer(pointer)); };
  // The z mirror, then the translation.
  auto mirrorAt = [&](float x, float y, float z) { return Json{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, x, y, z, 1}; };
  // Every number here is exact in a float, so printed and read back it compares equal.
  const std::pair<const char*, Json> values[] = {
      {"/scenes/1/objects/0/mesh", "box.lwo"}, {"/scenes/0/lights/0/color", {0.5, 0.5, 0.5, 1}},
      {"/scenes/0/at/0/fovy", 28.125}, {"/scenes/0/at/0/fogMax", 100}, {"/scenes/0/at/0/coneAngle", {30}},
      {"/scenes/0/at/0/modelview/objects/0", mirrorAt(1, 2, -3)}, {"/scenes/0/at/0/modelview/lights/0", mirrorAt(0, 0, 0)},
      {"/meshes/0/bounds", {{-1, -1, 0}, {1, 1, 0}}}, {"/meshes/0/firstNormal", {0, 0, -1}}};
  for (const auto& [pointer, value] : values) EXPECT_EQ(at(pointer), value) << pointer;
  // Both scenes use one mesh, read once.
  EXPECT_EQ(std::tuple(at("/scenes").size(), at("/scenes/0/at").size(), at("/meshes").size()), std::tuple(2u, 2u, 1u));
  // Floats are printed as the shortest decimal that reads back to the very same float.
  EXPECT_EQ(at("/scenes/0/camera/zoomFactor").dump(), "3.2");
  EXPECT_NEAR(at("/scenes/0/at/1/fogMax").get<float>(), 250, 1e-3);
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
      {"--verbose a.lws", 2, "The following argument was not expected: --verbose" + usage}};
  for (const auto& c : cases) {
    ToolRun run = inspect(dir, c.arguments);
    EXPECT_EQ(std::tuple(run.status, run.err, run.out), std::tuple(c.status, dir.expand("tessarine-inspect: " + c.message + "\n"), ""));
  }
}

}  // namespace
}  // namespace tessarine::scene
