// A small show of six scenes written at test time, one per file of the play list: a
// shared square that slides across each scene, a backdrop red of its own per scene,
// frame ranges of different lengths and start times, and a camera shake.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "show/play_list.h"
#include "support/scene_files.h"
#include "support/temp_dir.h"

namespace tessarine::testing {

struct FixtureScene {
  std::uint32_t firstFrame;
  std::uint32_t lastFrame;  // at 30 frames a second
  int backdropRed;
};

// Show time: S1 0 to 1 s, S2 1 to 1.5, S3 1.5 to 3.5, S4 3.5 to 4, S4b 4 to 5, S5 5 to 6.
inline constexpr std::array<FixtureScene, 6> kFixtureScenes = {{
    {0, 30, 40}, {30, 45, 80}, {0, 60, 120}, {15, 30, 160}, {0, 30, 200}, {0, 30, 240},
}};
inline constexpr double kFixtureShowLength = 6.0;
inline constexpr std::array<double, 6> kFixtureSceneStarts = {0, 1, 1.5, 3.5, 4, 5};

// Returns the show's data directory.
inline std::string writeFixtureShow(const TempDir& dir) {
  writeSquare(dir.path(), "square.lwo", {255, 255, 255});
  for (std::size_t i = 0; i < kFixtureScenes.size(); ++i) {
    const FixtureScene& s = kFixtureScenes[i];
    formats::LwsScene lws{.firstFrame = s.firstFrame, .lastFrame = s.lastFrame,
                          .objects = {object("square.lwo", motion({{.x = -1, .frame = s.firstFrame}, {.x = 1, .frame = s.lastFrame}}))},
                          .ambientIntensity = 1.0f, .backdropColor = {s.backdropRed, 0, 0}};
    lws.camera = {.motion = still({.z = -5}), .zoom = 1.0f, .focalDistance = 0.3f};
    dir.write(std::string(show::kPlayList[i].fileName), formats::writeLws(lws));
  }
  return dir.str();
}

}  // namespace tessarine::testing
