// What the player asks of the system for the length of a run: the high priority and a
// screen saver that stays away, given back when the guard goes.
#pragma once

#include "platform/platform.h"

namespace tessarine::app {

class RunGuard {
 public:
  // Asks `platform` for the high priority and, if the screen saver is active, suspends
  // it. Throws common::Error("I can't get High Priority") on a refusal, before the screen
  // saver is touched. `platform` must outlive the guard.
  explicit RunGuard(platform::Platform& platform);
  // Lets the screen saver start again if it was active.
  ~RunGuard();
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

  bool screenSaverWasActive() const { return screenSaverWasActive_; }

 private:
  platform::Platform& platform_;
  bool screenSaverWasActive_;
};

}  // namespace tessarine::app
