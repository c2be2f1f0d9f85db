// The player's command line: without options it plays the show full screen as it always
// has; --help and --version answer before any window is opened.
#pragma once

#include <optional>
#include <string>

#include "app/author_options.h"
#include "show/show.h"
#include "show/show_location.h"

namespace tessarine::app {

struct PlayerOptions {
  // Set when the program is to stop at once with this status: after --help, --version or
  // a refusal, which are already printed.
  std::optional<int> exitStatus;
  bool window = false;  // start in the window instead of full screen
  AuthorOptions author;
  show::ShowLocation show;  // SHOW_DIR, or where the show is found without it
  // A LightWave scene or object named instead of a show's folder, played on its own with
  // author mode's keys and overlay.
  std::optional<show::LightWaveContent> lightWave;
  // --music: played with LightWave content; the show always plays its own.
  std::optional<std::string> music;
};

PlayerOptions parseCommandLine(int argc, char** argv);

}  // namespace tessarine::app
