// Finding files by the names content gives them, in a content tree built here.
#include "common/content_path.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tessarine::common {
namespace {

TEST(ContentPathTest, AuthorsPathsAreFoundUnderContentFoldersCaseLoosely) {
  testing::TempDir dir;
  for (const char* file : {"c/Objects/ship.lwo", "c/Images/Wood.IFF", "c/Images/wood.tga", "c/Images/WOOD.TGA",
                           "c/tex/Bark.png", "c/tex/BARK.png", "c/Objects/tex/bark.png/x"}) {
    dir.write(file, "");
  }
  const std::string c = dir.str() + "/c";
  const std::vector<std::string> folders{c + "/Objects", c};
  const std::vector<std::string> lwo{".lwo"};
  const struct {
    std::string name;
    std::string found;  // "" for none
  } cases[] = {
      {"C:\\LW\\Images\\wood.iff", c + "/Images/Wood.IFF"},
      {"HD1:images/Wood.IFF", c + "/Images/Wood.IFF"},
      {"/home/x/c/Images/wood.tga", c + "/Images/wood.tga"},  // the exact spelling before WOOD.TGA
      {"S:\\ship", c + "/Objects/ship.lwo"},
      {"../Tex/bark.PNG", c + "/tex/BARK.png"},  // of two, the first in byte order; never a directory
      {"Work:", ""},
  };
  for (const auto& [name, found] : cases) {
    EXPECT_EQ(findContentFile(name, folders, lwo).found.value_or(""), found) << name;
  }
  const ContentSearch missing = findContentFile("Images\\wood", folders);
  EXPECT_EQ(missing.found, std::nullopt);
  EXPECT_EQ(missing.tried, (std::vector<std::string>{c + "/Objects/Images/wood", c + "/Images/wood",
                                                     c + "/Objects/wood", c + "/wood"}));
}

}  // namespace
}  // namespace tessarine::common
