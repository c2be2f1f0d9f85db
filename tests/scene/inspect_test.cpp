#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "json_value.h"
#include "scene_text.h"

namespace tessarine::scene {
namespace {

using tessarine::testing::TempDir;
using namespace tessarine::scene::testing;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string contentsOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the tool with `arguments` (already quoted for the shell) and collects both streams.
ToolRun inspect(const TempDir& dir, const std::string& arguments) {
  std::string command = "'" TESSARINE_INSPECT "' " + arguments + " >'" + dir.str() + "/out' 2>'" + dir.str() + "/err'";
  int raw = std::system(command.c_str());
  ToolRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = contentsOf(dir.path() / "out");
  run.err = contentsOf(dir.path() / "err");
  return run;
}

void expectNumbers(const JsonValue& array, std::initializer_list<float> expected) {
  ASSERT_EQ(array.size(), expected.size());
  std::size_t i = 0;
  for (float value : expected) EXPECT_NEAR(array[i++].number, value, 1e-6) << "entry " << i - 1;
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
  JsonValue document = JsonParser(run.out).parseDocument();

  ASSERT_EQ(document["scenes"].size(), 2u);
  const JsonValue& a = document["scenes"][0];
  EXPECT_EQ(a["file"].text, "a.lws");
  EXPECT_EQ(a["firstFrame"].number, 0);
  EXPECT_EQ(a["lastFrame"].number, 60);
  EXPECT_EQ(a["framesPerSecond"].number, 30);
  EXPECT_EQ(a["startTime"].number, 0);
  EXPECT_EQ(a["endTime"].number, 2);
  for (const char* unset : {"ambientColor", "ambientIntensity", "fogMinDistance", "fogMaxDistance", "fogColor",
                            "backdropColor"}) {
    EXPECT_TRUE(a[unset].isNull()) << unset;
  }
  EXPECT_TRUE(a["fogMaxEnvelope"].boolean);
  EXPECT_FALSE(a["fogMinEnvelope"].boolean);
  EXPECT_EQ(a["shakeAmplitude"].number, 0);
  EXPECT_EQ(a["nearPlane"].number, 0.5);
  // Floats are printed so that they read back to the very same float.
  EXPECT_EQ(a["camera"]["zoomFactor"].asFloat(), 3.2f);
  EXPECT_EQ(a["camera"]["parentIndex"].number, -1);
  EXPECT_FALSE(a["camera"]["zoomEnvelope"].boolean);
  EXPECT_EQ(a["camera"]["keyCount"].number, 1);
  ASSERT_EQ(a["objects"].size(), 2u);
  EXPECT_EQ(a["objects"][0]["mesh"].text, "box.lwo");
  EXPECT_TRUE(a["objects"][1]["mesh"].isNull());
  const JsonValue& spot = a["lights"][0];
  EXPECT_EQ(spot["glLight"].number, 0x4000);
  EXPECT_EQ(spot["lightType"].number, 2);
  expectNumbers(spot["color"], {0.5f, 0.5f, 0.5f, 1});
  EXPECT_EQ(spot["coneAngle"].number, 30);
  EXPECT_EQ(spot["parentIndex"].number, 1);

  ASSERT_EQ(a["at"].size(), 2u);
  const JsonValue& start = a["at"][0];
  expectNumbers(start["camera"], {0, 0, 0, 0, 0, 0, 1, 1, 1});
  expectNumbers(start["objects"][0], {1, 2, 3, 0, 0, 0, 1, 1, 1});
  EXPECT_EQ(start["fovy"].number, 28.125);
  EXPECT_EQ(start["fogMin"].number, 0);
  EXPECT_EQ(start["fogMax"].number, 100);
  EXPECT_TRUE(start["ambientIntensity"].isNull());
  expectNumbers(start["lightIntensity"], {0.5f});
  expectNumbers(start["coneAngle"], {30});
  expectNumbers(start["modelview"]["objects"][0], {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1, 2, -3, 1});
  expectNumbers(start["modelview"]["objects"][1], {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1});
  expectNumbers(start["modelview"]["lights"][0], {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1});
  EXPECT_EQ(a["at"][1]["time"].number, 0.5);
  EXPECT_NEAR(a["at"][1]["fogMax"].number, 250, 1e-3);

  const JsonValue& b = document["scenes"][1];
  EXPECT_EQ(b["camera"]["zoomFactor"].number, 2);
  EXPECT_EQ(b["objects"][0]["mesh"].text, "box.lwo");

  // Both scenes use one mesh, read once.
  ASSERT_EQ(document["meshes"].size(), 1u);
  const JsonValue& box = document["meshes"][0];
  EXPECT_EQ(box["name"].text, "box.lwo");
  EXPECT_EQ(box["pointCount"].number, 3);
  EXPECT_EQ(box["polygonCount"].number, 1);
  expectNumbers(box["bounds"][0], {0, 0, -1});
  expectNumbers(box["bounds"][1], {3, 2, 0});
  // -(P0 - P1) x (P2 - P1) normalised: -(2, 0, 6) / sqrt(40).
  expectNumbers(box["firstNormal"], {-0.31622777f, 0, -0.9486833f});
  EXPECT_EQ(box["texture"]["width"].number, 2);
  EXPECT_EQ(box["texture"]["height"].number, 2);
}

TEST(InspectTest, FailuresPrintOneLineAndNoDocument) {
  TempDir dir;
  dir.write("good.lws", kHeader + cameraItem());
  dir.write("bad.lws", kHeader + "AmbientColor 1 2 3\nFog\n");
  const std::string data = "--data '" + dir.str() + "' ";
  ToolRun missing = inspect(dir, data + "none.lws");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "tessarine-inspect: I can't open file " + dir.str() + "/none.lws as rt\n");
  EXPECT_EQ(missing.out, "");
  // A later scene that fails leaves no half document behind.
  ToolRun bad = inspect(dir, data + "good.lws bad.lws");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "tessarine-inspect: Lack of AmbIntensity\n");
  EXPECT_EQ(bad.out, "");
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
