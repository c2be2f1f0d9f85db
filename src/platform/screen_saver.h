// The X screen saver: whether it would start, and keeping it from starting while the
// show plays. Without an X display there is no screen saver to speak of.
#pragma once

#include <memory>

struct _XDisplay;

namespace tessarine::platform {

// Whether version `major`.`minor` of the screen saver extension offers XScreenSaverSuspend.
bool versionCanSuspend(int major, int minor);

class ScreenSaver {
 public:
  // Connects to the X display lazily, on the first question, so that a process that
  // never asks never opens a connection.
  ScreenSaver() = default;
  // Closing the connection also ends a suspension it made.
  ~ScreenSaver() = default;
  ScreenSaver(ScreenSaver&&) noexcept = default;
  ScreenSaver& operator=(ScreenSaver&&) noexcept = default;
  ScreenSaver(const ScreenSaver&) = delete;
  ScreenSaver& operator=(const ScreenSaver&) = delete;

  // True when the server has a screen saver timeout and the saver is not disabled.
  bool active();
  // XScreenSaverSuspend: held by this connection until resumed or closed.
  void suspend(bool suspend);

 private:
  struct CloseDisplay {
    void operator()(_XDisplay* display) const noexcept;
  };

  _XDisplay* display();

  std::unique_ptr<_XDisplay, CloseDisplay> display_;
  bool connected_ = false;
};

}  // namespace tessarine::platform
