#include "app/command_line.h"

#include <string>

#include "app/window_rules.h"
#include "cli/command_line.h"
#include "common/error.h"
#include "show/play_list.h"

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
  addAuthorOptions(commandLine.app(), options.author);
  commandLine.app().callback([&options] {
    if (std::string refusal = checkAuthorOptions(options.author); !refusal.empty()) throw common::Error(refusal);
  });
  options.exitStatus = commandLine.parse(argc, argv);
  return options;
}

}  // namespace tessarine::app
