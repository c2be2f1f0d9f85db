// Writes a small show for the end-to-end test: DIR/Data with the six scene files of the
// play list (each a lit, textured square seen by a swaying camera) and their object.
// Usage: e2e_fixture DIR [FILE-TO-LEAVE-OUT]
#include <cstdio>
#include <filesystem>
#include <string>

#include "show/play_list.h"
#include "render/scene_text.h"

using namespace tessarine;

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s DIR [FILE-TO-LEAVE-OUT]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path data = std::filesystem::path(argv[1]) / show::kDataDirectory;
  const std::string leaveOut = argc == 3 ? argv[2] : "";
  std::filesystem::create_directories(data);
  testing::writeSquare(data, "square.lwo", {200, 120, 40});

  // One second per scene at 30 frames per second, so the show wraps around while it runs.
  const std::string sway =
      testing::motionSection({{.z = -4, .heading = -10, .frame = 0}, {.z = -3, .heading = 10, .frame = 30}});
  for (const show::PlayListEntry& entry : show::kPlayList) {
    if (entry.fileName == leaveOut) continue;
    testing::writeFile(data / entry.fileName,
                       testing::header(0, 30) + testing::object("square.lwo", testing::still({.heading = 20})) +
                           "AmbientColor 40 40 40\nAmbIntensity 1\nFocalDistance 0.05\n" +
                           testing::light(testing::still({.heading = 180}), {255, 255, 255}, "0.9", 0) +
                           "FogMinDist 2\nFogMaxDist 20\nFogColor 0 0 64\nBackdropColor 0 0 64\n" +
                           testing::camera(sway));
  }
  return 0;
}
