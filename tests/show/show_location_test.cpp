// Which folder a show is read from, and the names its files take there.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "show/show_location.h"

namespace tessarine::show {
namespace {

TEST(ShowLocation, GivenFolderThenWorkingDirectoryWithDataThenInstalledShow) {
  struct Case {
    std::optional<std::string> given;
    bool workingDirectoryHasData;
    std::string data, music;
  } cases[] = {
      {"demo", true, "demo/Data", "demo/THREE.mp3"},
      {"/shows/demo//", false, "/shows/demo/Data", "/shows/demo/THREE.mp3"},
      {std::nullopt, true, "Data", "THREE.mp3"},  // bare names, as the player has always said them
      {std::nullopt, false, "/usr/share/tessarine/show/Data", "/usr/share/tessarine/show/THREE.mp3"},
  };
  for (const Case& c : cases) {
    const ShowLocation location = chooseShow(c.given, c.workingDirectoryHasData, "/usr/share/tessarine/show");
    EXPECT_EQ(location.dataDirectory, c.data) << c.given.value_or("(none)");
    EXPECT_EQ(location.musicFile, c.music) << c.given.value_or("(none)");
  }
}

}  // namespace
}  // namespace tessarine::show
