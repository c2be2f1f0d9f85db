// What the show asks of the operating system besides the window: a high scheduling
// priority and a screen saver that stays away while it plays. A seam, so that tests
// can stand in a system that refuses.
#pragma once

#include <memory>

namespace tessarine::platform {

class Platform {
 public:
  virtual ~Platform() = default;

  // Raises the process priority as far as the user is allowed. False only when the
  // system refused for another reason than a lack of privilege.
  virtual bool requestHighPriority() = 0;
  // Whether a screen saver would start while the show plays.
  virtual bool screenSaverActive() = 0;
  // Keeps the screen saver from starting (true) or lets it start again (false).
  virtual void suspendScreenSaver(bool suspend) = 0;
};

// The real one: setpriority within RLIMIT_NICE and the X screen saver of $DISPLAY.
std::unique_ptr<Platform> makeSystemPlatform();

}  // namespace tessarine::platform
