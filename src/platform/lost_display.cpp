// The Xlib side of a lost display: its handler for a broken connection.
#include "platform/lost_display.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <utility>

namespace tessarine::platform {
namespace {

// Xlib's handler takes no context; there is one display loss per process.
struct Ending {
  std::function<void()> release;
  std::FILE* messages = stderr;
  bool started = false;
};

Ending ending;

// Xlib calls exit() itself if its handler returns, so it never does.
int onBrokenConnection(Display* display) { displayLost(DisplayString(display)); }

}  // namespace

void endOnLostDisplay(std::function<void()> release, std::FILE* messages) {
  ending.release = std::move(release);
  ending.messages = messages;
  XSetIOErrorHandler(onBrokenConnection);
}

void displayLost(const char* name) {
  if (!ending.started) {
    ending.started = true;
    std::fprintf(ending.messages, "tessarine: lost the display %s; the show ends\n", name);
    std::fflush(ending.messages);
    if (ending.release) ending.release();
  }
  std::fflush(nullptr);
  std::_Exit(kLostDisplayStatus);
}

}  // namespace tessarine::platform
