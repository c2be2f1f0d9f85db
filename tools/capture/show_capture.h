// The show played off screen: the program's play list read into one sequence on a
// surfaceless context of a chosen size, and any moment of show time drawn by the
// program's own activation and renderer, with the camera shake made repeatable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/demo_sequence.h"
#include "capture/show_timeline.h"
#include "headless/headless_gl.h"
#include "platform/platform.h"

namespace tessarine::capture {

// Asks the system for nothing: a capture runs at its ordinary priority and has no
// screen saver to keep away.
class QuietPlatform final : public platform::Platform {
 public:
  bool requestHighPriority() override { return true; }
  bool screenSaverActive() override { return false; }
  void suspendScreenSaver(bool) override {}
};

// The C library's random generator seeded from a moment of show time: the camera shake
// draws from it, so the same moment gives the same picture.
unsigned shakeSeedFor(double showTime);

class ShowCapture {
 public:
  // Makes a width x height context, reads the play list from `dataDirectory` and
  // activates the first scene, as the program starts up. The aspect is width / height.
  // Throws common::Error with the reader's message when a file cannot be read, or when
  // no off-screen context can be had.
  ShowCapture(const std::string& dataDirectory, int width, int height);
  ShowCapture(const ShowCapture&) = delete;
  ShowCapture& operator=(const ShowCapture&) = delete;

  const ShowTimeline& timeline() const { return timeline_; }
  app::DemoSequence& sequence() { return sequence_; }
  scene::Scene& scene(std::size_t index) { return *scenes_.at(index); }
  std::size_t currentScene() const { return current_; }
  int width() const { return gl_.width(); }
  int height() const { return gl_.height(); }

  // Draws the frame at `showTime` (0 to the timeline's length) and waits for it to be
  // complete. A scene other than the current one is activated first, as at a switch.
  void draw(double showTime);
  // The frame drawn last, RGBA, bottom row first.
  std::vector<std::uint8_t> readPixels() const { return gl_.readPixels(); }
  // draw() and readPixels() together.
  std::vector<std::uint8_t> frameAt(double showTime);

 private:
  headless::HeadlessGl gl_;  // made first and gone last: the textures need it current
  QuietPlatform platform_;
  app::DemoSequence sequence_;
  std::vector<scene::Scene*> scenes_;  // play order, owned by the sequence
  ShowTimeline timeline_;
  std::size_t current_ = 0;
};

}  // namespace tessarine::capture
