// The player's command line read through the shared command-line front: the show's folder,
// the window flag and author mode's options, or the exit status of an answer or a refusal.
#include "app/player_options.h"

#include <optional>
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
                                                " in SHOW_DIR; without it, in the working directory when it holds " +
                                                std::string(show::kDataDirectory) + ", else in the installed show (" +
                                                std::string(show::installedShowDirectory()) +
                                                "). Keys: Escape, Q or X quit; F goes full screen, W back to the window.");
  std::optional<std::string> showDirectory;
  commandLine.app().add_option("SHOW_DIR", showDirectory, "The folder of the show to play")->type_name("DIR");
  commandLine.app().add_flag("--window", options.window,
                             "Start in the " + std::to_string(kWindowWidth) + " x " + std::to_string(kWindowHeight) +
                                 " window instead of full screen");
  addAuthorOptions(commandLine.app(), options.author);
  commandLine.app().callback([&options, &showDirectory] {
    if (std::string refusal = checkAuthorOptions(options.author); !refusal.empty()) throw common::Error(refusal);
    options.show = show::findShow(showDirectory);
  });
  options.exitStatus = commandLine.parse(argc, argv);
  return options;
}

}  // namespace tessarine::app
