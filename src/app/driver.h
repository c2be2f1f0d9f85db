// The program's one driver state: the platform and what it was asked for, and the playback
// (the show, its frame loop and the music); and the fixed start-up that builds them.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "app/playback.h"
#include "app/run_guard.h"
#include "platform/platform.h"

namespace tessarine::app {

struct Driver {
  // Declared first so that it outlives the guard, which restores the screen saver.
  std::unique_ptr<platform::Platform> platform;
  std::unique_ptr<RunGuard> guard;
  std::unique_ptr<Playback> playback;

  // Stops the music with the frame loop that holds it, releases the scenes, lets the screen saver
  // start again, then releases the mesh library with its textures. Any of them may be
  // absent after a failed start-up.
  void release();
};

struct StartUpOptions {
  LoadSettings load;
  std::FILE* errorOutput = stdout;
};

// Sets the fixed render state, raises the priority and keeps the screen saver away
// (driver.guard), loads driver.playback's show with every scene of the play list, makes its textures
// and activates the first scene. On any failure prints "... And the Error is : <message> !"
// (no line break) on the error output and calls `quitDemo`, which in the program ends the
// process; if it returns, so does startUp, with the driver as quitDemo left it.
void startUp(Driver& driver, const std::function<void()>& quitDemo, const StartUpOptions& options = {});

}  // namespace tessarine::app
