// The screen saver through Xlib and its screen saver extension, on a connection opened on
// the first question and held for as long as a suspension must last.
#include "platform/screen_saver.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace tessarine::platform {

namespace {

// XScreenSaverSuspend came with version 1.1 of the extension.
constexpr int kSuspendMajor = 1;
constexpr int kSuspendMinor = 1;

bool hasExtension(Display* display) {
  int event = 0;
  int error = 0;
  return XScreenSaverQueryExtension(display, &event, &error) != 0;
}

bool canSuspend(Display* display) {
  int major = 0;
  int minor = 0;
  if (!hasExtension(display) || XScreenSaverQueryVersion(display, &major, &minor) == 0) return false;
  return versionCanSuspend(major, minor);
}

}  // namespace

bool versionCanSuspend(int major, int minor) {
  return major > kSuspendMajor || (major == kSuspendMajor && minor >= kSuspendMinor);
}

void ScreenSaver::CloseDisplay::operator()(_XDisplay* display) const noexcept { XCloseDisplay(display); }

_XDisplay* ScreenSaver::display() {
  if (!connected_) {
    connected_ = true;
    display_.reset(XOpenDisplay(nullptr));
  }
  return display_.get();
}

bool ScreenSaver::active() {
  Display* connection = display();
  if (connection == nullptr) return false;
  int timeout = 0;
  int interval = 0;
  int preferBlanking = 0;
  int allowExposures = 0;
  XGetScreenSaver(connection, &timeout, &interval, &preferBlanking, &allowExposures);
  if (timeout <= 0) return false;
  if (!hasExtension(connection)) return true;
  XScreenSaverInfo* info = XScreenSaverAllocInfo();
  if (info == nullptr) return true;
  bool disabled = XScreenSaverQueryInfo(connection, DefaultRootWindow(connection), info) != 0 &&
                  info->state == ScreenSaverDisabled;
  XFree(info);
  return !disabled;
}

void ScreenSaver::suspend(bool suspend) {
  Display* connection = display();
  if (connection == nullptr || !canSuspend(connection)) return;
  XScreenSaverSuspend(connection, suspend ? True : False);
  XFlush(connection);
}

}  // namespace tessarine::platform
