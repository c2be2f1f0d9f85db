// An RGBA picture in floating point that the texture makers paint into, and its
// conversion to a TGA image. Row 0 is texture coordinate v = 0, the bottom of a plate.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "formats/tga_writer.h"

namespace tessarine::showgen {

using Rgba = std::array<float, 4>;  // 0 to 1

inline constexpr int kMaxTextureSide = 1024;

bool isPowerOfTwo(int n);

class Canvas {
 public:
  // Both sides powers of two from 1 to kMaxTextureSide (the player builds mipmaps from
  // them without scaling); anything else throws common::Error. Starts `fill`.
  Canvas(int width, int height, const Rgba& fill = {0, 0, 0, 1});

  int width() const { return width_; }
  int height() const { return height_; }
  Rgba& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const Rgba& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  // Blends `color` over the pixel with weight `coverage` times its own alpha; outside
  // the canvas nothing happens.
  void blend(int x, int y, const Rgba& color, float coverage = 1);

  // 24 bits when `withAlpha` is false (alpha dropped), 32 bits otherwise.
  formats::TgaImage toTga(bool withAlpha) const;

 private:
  int width_;
  int height_;
  std::vector<Rgba> pixels_;
};

Rgba mixColor(const Rgba& a, const Rgba& b, double t);

}  // namespace tessarine::showgen
