// The platform the program runs on: setpriority within the user's limits and the X
// screen saver.
#include <memory>

#include "platform/platform.h"
#include "platform/priority.h"
#include "platform/screen_saver.h"

namespace tessarine::platform {

namespace {

class SystemPlatform final : public Platform {
 public:
  bool requestHighPriority() override { return raisePriority(systemPriorityCalls()); }
  bool screenSaverActive() override { return screenSaver_.active(); }
  void suspendScreenSaver(bool suspend) override { screenSaver_.suspend(suspend); }

 private:
  ScreenSaver screenSaver_;
};

}  // namespace

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<SystemPlatform>(); }

}  // namespace tessarine::platform
