// Choosing the show's folder, the rule kept apart from the one look at the working
// directory so that it can be tried without a file system.
#include "show/show_location.h"

#include <filesystem>
#include <system_error>

#include "common/path.h"
#include "show/play_list.h"

namespace tessarine::show {

std::string_view installedShowDirectory() { return TESSARINE_INSTALLED_SHOW_DIR; }

ShowLocation chooseShow(const std::optional<std::string>& given, bool workingDirectoryHasData,
                        std::string_view installed) {
  std::string directory = given ? *given : workingDirectoryHasData ? std::string() : std::string(installed);
  // "show/" names the same folder as "show"; messages then read "show/Data/S3.lws".
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  return {common::joinPath(directory, kDataDirectory), common::joinPath(directory, kMusicFile)};
}

ShowLocation findShow(const std::optional<std::string>& given) {
  std::error_code unreadable;  // a working directory that cannot be looked at holds no show
  const bool hasData = !given && std::filesystem::is_directory(std::string(kDataDirectory), unreadable);
  return chooseShow(given, hasData, installedShowDirectory());
}

}  // namespace tessarine::show
