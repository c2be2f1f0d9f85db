// The program's one driver state: the platform, the sequence, the music player and the
// frame loop, and the fixed start-up that builds them.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "app/demo_sequence.h"
#include "app/frame_loop.h"
#include "audio/music_player.h"
#include "mesh/texture.h"
#include "platform/platform.h"

namespace tessarine::app {

struct PlayListEntry {
  std::string_view fileName;
  float nearPlane;  // the near clipping distance of the scene's projection
};

inline constexpr std::string_view kDataDirectory = "Data";
// Found relative to the working directory, not in the data directory.
inline constexpr std::string_view kMusicFile = "THREE.mp3";
inline constexpr std::array<PlayListEntry, 6> kPlayList = {{
    {"S1.lws", 0.1f},
    {"S2.lws", 1.0f},
    {"S3.lws", 1.0f},
    {"S4.lws", 0.1f},
    {"S4b.lws", 0.1f},
    {"S5.lws", 1.0f},
}};

struct Driver {
  // Declared first so that it outlives the sequence, which restores the screen saver.
  std::unique_ptr<platform::Platform> platform;
  std::unique_ptr<DemoSequence> sequence;
  std::unique_ptr<audio::MusicPlayer> musicPlayer;
  std::unique_ptr<FrameLoop> frameLoop;

  // Stops the music and deletes the player, then destroys the sequence (scenes, screen
  // saver, meshes). Either may be absent after a failed start-up.
  void release();
};

struct StartUpOptions {
  std::string dataDirectory{kDataDirectory};
  std::span<const PlayListEntry> playList = kPlayList;
  std::FILE* errorOutput = stdout;
  mesh::TextureMaker makeTexture = mesh::makeGlTexture;
};

// Builds driver.sequence with every scene of the play list and activates the first
// scene. On any failure prints "... And the Error is : <message> !" (no line break) on
// the error output and calls `quitDemo`, which in the program ends the process; if it
// returns, so does startUp, with the driver as quitDemo left it.
void startUp(Driver& driver, const std::function<void()>& quitDemo, const StartUpOptions& options = {});

}  // namespace tessarine::app
