#include "app/command_line.h"

#include <string>

#include "show/play_list.h"
#include "app/window_rules.h"
#include "cli/command_line.h"

namespace tessarine::app {

PlayerOptions parseCommandLine(int argc, char** argv) {
  PlayerOptions options;
  cli::CommandLine commandLine("tessarine", "Plays the show full screen with its music, read from " +
                                                std::string(show::kDataDirectory) + " and " + std::string(show::kMusicFile) +
                                                " in the working directory. Keys: Escape, Q or X quit; F goes full "
                                                "screen, W back to the window.");
  commandLine.app().add_flag("--window", options.window,
                             "Start in the " + std::to_string(kWindowWidth) + " x " + std::to_string(kWindowHeight) +
                                 " window instead of full screen");
  options.exitStatus = commandLine.parse(argc, argv);
  return options;
}

}  // namespace tessarine::app
