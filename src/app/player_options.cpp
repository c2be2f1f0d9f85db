// The player's command line read through the shared command-line front: the show's folder,
// the window flag and author mode's options, or the exit status of an answer or a refusal.
#include "app/player_options.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

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
  commandLine.app()
      .add_option("SHOW_DIR", showDirectory,
                  "The folder of the show to play; or a LightWave scene or object file, played on its own (looped, "
                  "with author mode's keys and overlay)")
      ->type_name("DIR|FILE");
  std::vector<std::string> contentFolders;
  commandLine.app()
      .add_option("--content", contentFolders,
                  "Where the objects and images a LightWave file names are looked for (repeatable); by default its "
                  "own folder and those above it")
      ->type_name("DIR");
  commandLine.app().add_option("--music", options.music, "Music to play with a LightWave file")->type_name("FILE");
  commandLine.app().add_flag("--window", options.window,
                             "Start in the " + std::to_string(kWindowWidth) + " x " + std::to_string(kWindowHeight) +
                                 " window instead of full screen");
  addAuthorOptions(commandLine.app(), options.author);
  commandLine.app().callback([&options, &showDirectory, &contentFolders] {
    if (std::string refusal = checkAuthorOptions(options.author); !refusal.empty()) throw common::Error(refusal);
    std::error_code ignored;
    if (showDirectory && std::filesystem::is_regular_file(*showDirectory, ignored)) {
      options.lightWave = show::LightWaveContent{.path = *showDirectory, .contentFolders = contentFolders};
      options.author.author = true;
      return;
    }
    if (!contentFolders.empty() || options.music) throw common::Error("--content and --music go with a LightWave file");
    options.show = show::findShow(showDirectory);
  });
  options.exitStatus = commandLine.parse(argc, argv);
  return options;
}

}  // namespace tessarine::app
