// Writes a small show for the end-to-end test: DIR/Data with the six scene files of the
// play list (each a lit, textured square seen by a swaying camera) and their object.
// Usage: e2e_fixture DIR [FILE-TO-LEAVE-OUT]
#include <cstdio>
#include <filesystem>
#include <string>

#include "show/play_list.h"
#include "support/scene_files.h"

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
  formats::LwsScene lws{.lastFrame = 30,
                        .objects = {testing::object("square.lwo", testing::still({.heading = 20}))},
                        .lights = {{.motion = testing::still({}), .intensity = 0.9f,
                                    .type = formats::LwsLightType::kDistant}},
                        .ambientColor = {40, 40, 40}, .ambientIntensity = 1.0f, .backdropColor = {0, 0, 64},
                        .fogMinDistance = 2.0f, .fogMaxDistance = 20.0f, .fogColor = {0, 0, 64}};
  lws.camera = {.motion = testing::motion({{.z = -4, .heading = -10, .frame = 0}, {.z = -3, .heading = 10, .frame = 30}}),
                .zoom = 1.0f, .focalDistance = 0.05f};
  const std::string text = formats::writeLws(lws);
  for (const show::PlayListEntry& entry : show::kPlayList) {
    if (entry.fileName != leaveOut) testing::writeFile(data / entry.fileName, text);
  }
  return 0;
}
