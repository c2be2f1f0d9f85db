// An OpenGL compatibility context without a display: EGL on Mesa's surfaceless platform,
// drawing into a framebuffer object of a chosen size. For tests and off-screen tools.
#pragma once

#include <cstdint>
#include <vector>

namespace tessarine::headless {

class HeadlessGl {
 public:
  // Makes the context current on this thread, with an RGBA8 + depth framebuffer of
  // width x height bound for drawing. Throws common::Error when no context can be had.
  HeadlessGl(int width, int height);
  ~HeadlessGl();
  HeadlessGl(const HeadlessGl&) = delete;
  HeadlessGl& operator=(const HeadlessGl&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  // The framebuffer's pixels, RGBA, bottom row first.
  std::vector<std::uint8_t> readPixels() const;
  // Completes all drawing.
  void finish() const;

 private:
  int width_;
  int height_;
  void* display_ = nullptr;
  void* context_ = nullptr;
  unsigned framebuffer_ = 0;
  unsigned colorBuffer_ = 0;
  unsigned depthBuffer_ = 0;
};

}  // namespace tessarine::headless
