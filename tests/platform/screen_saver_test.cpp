#include "platform/screen_saver.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"

namespace tessarine::platform {
namespace {

// Without an X display (a console, a CI machine) there is no screen saver: the show
// must neither fail nor report one that it would later restore.
TEST(ScreenSaverTest, WithoutADisplayThereIsNoneToSuspend) {
  EXPECT_EXIT(
      {
        unsetenv("DISPLAY");
        std::unique_ptr<Platform> platform = makeSystemPlatform();
        bool active = platform->screenSaverActive();
        platform->suspendScreenSaver(true);
        platform->suspendScreenSaver(false);
        std::_Exit(active ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tessarine::platform
