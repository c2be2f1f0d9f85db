// Where a show is read from: the folder named on the command line, else the working
// directory when it holds the data directory, else the show installed with the programs.
// The player and its tools all find a show by this one rule.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessarine::show {

// The two things read from a show's folder. The working directory is the empty folder,
// so its files keep their bare names ("Data/S3.lws") in every message.
struct ShowLocation {
  std::string dataDirectory;
  std::string musicFile;
};

// The folder of the show installed with the programs, fixed when they are built.
std::string_view installedShowDirectory();

// The rule without the file system: `given` when there is one, else the working directory
// when `workingDirectoryHasData`, else `installed`. Throws common::Error when a path
// made from the folder is too long to open.
ShowLocation chooseShow(const std::optional<std::string>& given, bool workingDirectoryHasData,
                        std::string_view installed);

// chooseShow with the working directory looked at and the installed show.
ShowLocation findShow(const std::optional<std::string>& given);

}  // namespace tessarine::show
