// The run guard: a refused priority ends the start-up before the screen saver is touched,
// and only a screen saver that was active is suspended and given back.
#include "app/run_guard.h"

#include "common/error.h"

namespace tessarine::app {
namespace {

bool raisePriority(platform::Platform& platform) {
  if (!platform.requestHighPriority()) throw common::Error("I can't get High Priority");
  return true;
}

}  // namespace

RunGuard::RunGuard(platform::Platform& platform)
    : platform_(platform), screenSaverWasActive_(raisePriority(platform) && platform.screenSaverActive()) {
  if (screenSaverWasActive_) platform_.suspendScreenSaver(true);
}

RunGuard::~RunGuard() {
  if (screenSaverWasActive_) platform_.suspendScreenSaver(false);
}

}  // namespace tessarine::app
