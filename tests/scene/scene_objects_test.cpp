// Finding a LightWave scene's objects in a folder tree built here: the author's own paths,
// letter case, a missing extension, one file read once per layer, and what a missing or broken
// object leaves behind.
#include "scene/scene_objects.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/lightwave_object_writer.h"
#include "support/temp_dir.h"

namespace tessarine::scene {
namespace {

// Two layers, numbered 0 and 1 in the file (1 and 2 in a scene): a triangle and a quad.
std::string twoLayers() {
  using namespace formats;
  return objectFile("LWO2", {layerChunk(0, {0, 0, 0}, "A"), pointsChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                             polygonsChunk("FACE", {{0, 1, 2}}), layerChunk(1, {0, 0, 0}, "B"),
                             pointsChunk({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}),
                             polygonsChunk("FACE", {{0, 1, 2, 3}})});
}

TEST(SceneObjectsTest, AuthorsPathsAreFoundUnderTheContentAndWhatIsNotStaysANull) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir.path() / "Objects");
  dir.write("Objects/Ship.LWO", twoLayers());
  dir.write("broken.lwo", "FORM");
  DemoContext context(dir.str());
  Scene scene(context, "s.lws", 1.0f, TransformRule::kLightWave);
  const char* names[] = {"S:\\Objects\\ship.lwo", "HD1:objects/ship", "/home/author/Objects/Ship.LWO",
                         "C:\\LW\\Objects\\ship.lwo", "gone.lwo", "broken.lwo", ""};
  for (const char* name : names) scene.objects.emplace_back().source.name = name;
  scene.objects[1].source.layer = 2;
  scene.objects[3].source.layer = 3;  // a layer the object lacks

  const std::string messages = dir.str() + "/messages";
  std::FILE* out = std::fopen(messages.c_str(), "w+");
  ASSERT_NE(out, nullptr);
  const std::vector<std::string> folders = {dir.str()};
  loadSceneObjects(scene, folders, out);
  std::fclose(out);

  const std::string found = (dir.path() / "Objects" / "Ship.LWO").string();
  const auto& o = scene.objects;
  EXPECT_EQ(o[0].source.file, found);
  EXPECT_EQ(o[0].mesh->polygonCount(), 2u) << "the whole object";
  EXPECT_EQ(o[1].mesh->polygonCount(), 1u) << "layer 2 alone";
  EXPECT_NE(o[1].mesh, o[0].mesh);
  EXPECT_EQ(o[2].mesh, o[0].mesh) << "one file, read once";
  EXPECT_EQ(context.meshes.size(), 2u);
  for (std::size_t i : {3, 4, 5}) {
    EXPECT_EQ(o[i].mesh, nullptr) << i;
    EXPECT_EQ(o[i].source.missing, names[i]) << i;
    EXPECT_FALSE(o[i].source.file) << i;
  }
  EXPECT_FALSE(o[6].mesh || o[6].source.missing) << "a null names no file";

  std::string text(4096, '\0');
  std::FILE* in = std::fopen(messages.c_str(), "r");
  text.resize(std::fread(text.data(), 1, text.size(), in));
  std::fclose(in);
  EXPECT_NE(text.find("s.lws: object gone.lwo not found, so it stays a null; looked for " + dir.str() + "/gone.lwo"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("has no layer 3"), std::string::npos) << text;
  EXPECT_NE(text.find("s.lws: object broken.lwo not read"), std::string::npos) << text;
}

}  // namespace
}  // namespace tessarine::scene
