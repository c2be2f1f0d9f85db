// Losing the X display: one line that says so, what can be released without it, and the
// end of the program, instead of Xlib's own line and exit() once per broken connection.
#pragma once

#include <cstdio>
#include <functional>

namespace tessarine::platform {

// The exit status of a program whose display went away.
constexpr int kLostDisplayStatus = 1;

// From now on a lost connection to the X display, on any connection of the process, ends
// the program through displayLost(). Call it after glutInit and before anything that
// talks to the display can fail; `release` must not rely on the display.
void endOnLostDisplay(std::function<void()> release, std::FILE* messages = stderr);

// Writes "tessarine: lost the display <name>; the show ends" on the messages, runs the
// release once, and ends the process with kLostDisplayStatus without running exit
// handlers: the window system's own would only talk to the lost server again. Reached
// again while releasing (another connection to the same server broke), it ends the
// process there, quietly.
[[noreturn]] void displayLost(const char* name);

}  // namespace tessarine::platform
