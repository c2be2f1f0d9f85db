// The inspection tool run as a program on scenes it reads from a data directory.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "flat_json.h"
#include "scene_text.h"

namespace tessarine::scene {
namespace {

using tessarine::testing::TempDir;
using namespace tessarine::scene::testing;

struct ToolRun {
  int status = -1;
  std::string out, err;
};

// Runs the tool with `arguments` (already quoted for the shell) and collects both streams.
ToolRun inspect(const TempDir& dir, const std::string& arguments) {
  std::string command = "'" TESSARINE_INSPECT "' " + arguments + " >'" + dir.str() + "/out' 2>'" + dir.str() + "/err'";
  int raw = std::system(command.c_str());
  ToolRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  for (auto [name, text] : {std::pair{"out", &run.out}, std::pair{"err", &run.err}}) {
    std::ostringstream contents;
    contents << std::ifstream(dir.path() / name).rdbuf();
    *text = contents.str();
  }
  return run;
}

TEST(InspectTest, ReportsScenesValuesMatricesAndTheSharedMeshes) {
  TempDir dir;
  writeObject(dir, "box.lwo");
  dir.write("a.lws", kHeader + "FogMaxDist (envelope)\n" + envelope({{0, 100}, {30, 400}}) +
                         objectItem("box.lwo", {.x = 1, .y = 2, .z = 3}) + nullItem() +
                         lightItem("ParentObject 1\nLightColor 255 255 255\nLgtIntensity 0.5\nLightType 2\n"
                                   "ConeAngle 30\n") +
                         cameraItem());
  dir.write("b.lws", kHeader + objectItem("box.lwo") + "CameraMotion " + still() + "ZoomFactor 2\n");
  ToolRun run = inspect(dir, "--data '" + dir.str() + "' --near 0.5 --at 0 --at 0.5 a.lws b.lws");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  FlatJson json(run.out);

  const std::pair<const char*, const char*> texts[] = {
      {"scenes.#", "2"}, {"scenes.0.file", "a.lws"}, {"scenes.0.ambientColor", "null"},
      {"scenes.0.ambientIntensity", "null"}, {"scenes.0.fogMinDistance", "null"}, {"scenes.0.fogMaxDistance", "null"},
      {"scenes.0.fogColor", "null"}, {"scenes.0.backdropColor", "null"}, {"scenes.0.fogMaxEnvelope", "true"},
      {"scenes.0.fogMinEnvelope", "false"}, {"scenes.0.camera.zoomEnvelope", "false"},
      {"scenes.0.objects.#", "2"}, {"scenes.0.objects.0.mesh", "box.lwo"}, {"scenes.0.objects.1.mesh", "null"},
      {"scenes.0.at.#", "2"}, {"scenes.0.at.0.ambientIntensity", "null"}, {"scenes.1.objects.0.mesh", "box.lwo"},
      // Both scenes use one mesh, read once.
      {"meshes.#", "1"}, {"meshes.0.name", "box.lwo"}};
  for (auto [path, text] : texts) EXPECT_EQ(json[path], text) << path;

  const float kMirror[] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0};
  auto mirrorAt = [&](float x, float y, float z) {
    std::vector<float> m(std::begin(kMirror), std::end(kMirror));
    m.insert(m.end(), {x, y, z, 1});
    return m;
  };
  const std::pair<const char*, std::vector<float>> numbers[] = {
      {"scenes.0.firstFrame", {0}}, {"scenes.0.lastFrame", {60}}, {"scenes.0.framesPerSecond", {30}},
      {"scenes.0.startTime", {0}}, {"scenes.0.endTime", {2}}, {"scenes.0.shakeAmplitude", {0}},
      {"scenes.0.nearPlane", {0.5f}}, {"scenes.0.camera.parentIndex", {-1}}, {"scenes.0.camera.keyCount", {1}},
      {"scenes.0.lights.0.glLight", {0x4000}}, {"scenes.0.lights.0.lightType", {2}},
      {"scenes.0.lights.0.color", {0.5f, 0.5f, 0.5f, 1}}, {"scenes.0.lights.0.coneAngle", {30}},
      {"scenes.0.lights.0.parentIndex", {1}},
      {"scenes.0.at.0.camera", {0, 0, 0, 0, 0, 0, 1, 1, 1}}, {"scenes.0.at.0.objects.0", {1, 2, 3, 0, 0, 0, 1, 1, 1}},
      {"scenes.0.at.0.fovy", {28.125f}}, {"scenes.0.at.0.fogMin", {0}}, {"scenes.0.at.0.fogMax", {100}},
      {"scenes.0.at.0.lightIntensity", {0.5f}}, {"scenes.0.at.0.coneAngle", {30}},
      {"scenes.0.at.0.modelview.objects.0", mirrorAt(1, 2, -3)}, {"scenes.0.at.0.modelview.objects.1", mirrorAt(0, 0, 0)},
      {"scenes.0.at.0.modelview.lights.0", mirrorAt(0, 0, 0)}, {"scenes.0.at.1.time", {0.5f}},
      {"scenes.1.camera.zoomFactor", {2}}, {"meshes.0.pointCount", {3}}, {"meshes.0.polygonCount", {1}},
      {"meshes.0.bounds.0", {0, 0, -1}}, {"meshes.0.bounds.1", {3, 2, 0}},
      // -(P0 - P1) x (P2 - P1) normalised: -(2, 0, 6) / sqrt(40).
      {"meshes.0.firstNormal", {-0.31622777f, 0, -0.9486833f}}, {"meshes.0.texture.width", {2}},
      {"meshes.0.texture.height", {2}}};
  for (const auto& [path, expected] : numbers) {
    std::vector<float> actual = json.numbers(path);
    ASSERT_EQ(actual.size(), expected.size()) << path;
    for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6) << path << " " << i;
  }
  // Floats are printed so that they read back to the very same float.
  EXPECT_EQ(json.numbers("scenes.0.camera.zoomFactor")[0], 3.2f);
  EXPECT_NEAR(json.numbers("scenes.0.at.1.fogMax")[0], 250, 1e-3);
}

TEST(InspectTest, FailuresPrintOneLineAndNoDocument) {
  TempDir dir;
  dir.write("good.lws", kHeader + cameraItem());
  dir.write("bad.lws", kHeader + "AmbientColor 1 2 3\nFog\n");
  // A later scene that fails leaves no half document behind.
  const std::pair<const char*, std::string> cases[] = {
      {"none.lws", "I can't open file " + dir.str() + "/none.lws as rt (" + dir.str() + "/none.lws: No such file or directory)"},
      {"good.lws bad.lws", "Lack of AmbIntensity (" + dir.str() + "/bad.lws, line 8: found \"Fog\")"}};
  for (const auto& [scenes, message] : cases) {
    ToolRun run = inspect(dir, "--data '" + dir.str() + "' " + scenes);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tessarine-inspect: " + message + "\n");
    EXPECT_EQ(run.out, "");
  }
}

TEST(InspectTest, BadArgumentsGiveTheUsageAndStatusTwo) {
  TempDir dir;
  for (const char* arguments : {"", "--data", "--near 0 a.lws", "--near x a.lws", "--at a.lws", "--at 1e999 a.lws",
                                "--verbose a.lws", "--data Data"}) {
    ToolRun run = inspect(dir, arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_EQ(run.err.rfind("usage: tessarine-inspect", 0), 0u) << arguments;
    EXPECT_EQ(run.out, "") << arguments;
  }
}

}  // namespace
}  // namespace tessarine::scene
