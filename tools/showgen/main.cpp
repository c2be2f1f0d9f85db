// tessarine-showgen: writes the whole show (six scene files, their objects and images)
// into the data directory given on the command line.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "showgen/storyboard.h"

int main(int argc, char** argv) {
  using namespace tessarine;
  std::string dataDirectory;
  cli::CommandLine commandLine("tessarine-showgen",
                               "Writes the whole show, its six scene files, their objects and images, into a folder.");
  commandLine.app().add_option("DATA_DIRECTORY", dataDirectory, "The folder the show is written to")
      ->type_name("DIR")
      ->required();
  if (std::optional<int> status = commandLine.parse(argc, argv)) return *status;
  try {
    showgen::buildShow().writeTo(dataDirectory);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessarine-showgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
