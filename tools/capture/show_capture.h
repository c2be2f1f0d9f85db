// The show played off screen: the play list loaded into one show on a surfaceless context
// of a chosen size, and any moment of show time drawn by the player's own activation and
// renderer; the same moment always gives the same picture, camera shake included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "headless/headless_gl.h"
#include "show/show.h"

namespace tessarine::capture {

class ShowCapture {
 public:
  // Makes a width x height context with the player's render state, loads the play list
  // from `dataDirectory` and activates the first scene, as the program starts up. The
  // aspect is width / height. Throws common::Error with the reader's message when a file
  // cannot be read, or when no off-screen context can be had.
  // With `lightWave`, that file is loaded instead of the play list.
  ShowCapture(const std::string& dataDirectory, int width, int height,
              const std::optional<show::LightWaveContent>& lightWave = {});
  ShowCapture(const ShowCapture&) = delete;
  ShowCapture& operator=(const ShowCapture&) = delete;

  show::Show& show() { return show_; }
  const show::ShowTimeline& timeline() const { return show_.timeline(); }
  scene::Scene& scene(std::size_t index) { return show_.scene(index); }
  std::size_t currentScene() const { return current_; }
  int width() const { return gl_.width(); }
  int height() const { return gl_.height(); }

  // Draws the frame at `showTime` (0 to the timeline's length) and waits for it to be
  // complete. A scene other than the current one is activated first, as at a switch.
  void draw(double showTime);
  // Draws scene `index` at `seconds` of its own clock, activating it first if it is not
  // the current one.
  void drawScene(std::size_t index, double seconds);
  // The frame drawn last, RGBA, bottom row first.
  std::vector<std::uint8_t> readPixels() const { return gl_.readPixels(); }
  // draw() and readPixels() together.
  std::vector<std::uint8_t> frameAt(double showTime);

 private:
  headless::HeadlessGl gl_;  // made first and gone last: the textures need it current
  show::Show show_;
  std::size_t current_ = 0;
};

}  // namespace tessarine::capture
