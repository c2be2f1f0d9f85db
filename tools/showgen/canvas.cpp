// The painting surface and its 8-bit TGA form.
#include "showgen/canvas.h"

#include <cmath>
#include <string>

#include "common/error.h"

namespace tessarine::showgen {
namespace {

std::uint8_t toByte(float v) {
  float c = v < 0 ? 0 : (v > 1 ? 1 : v);
  return static_cast<std::uint8_t>(std::lround(c * 255.0f));
}

}  // namespace

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

Canvas::Canvas(int width, int height, const Rgba& fill) : width_(width), height_(height) {
  if (!isPowerOfTwo(width) || !isPowerOfTwo(height) || width > kMaxTextureSide || height > kMaxTextureSide) {
    throw common::Error("Texture sides must be powers of two up to 1024, not " + std::to_string(width) +
                                " x " + std::to_string(height));
  }
  pixels_.assign(static_cast<std::size_t>(width) * height, fill);
}

void Canvas::blend(int x, int y, const Rgba& color, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Rgba& p = at(x, y);
  float a = color[3] * coverage;
  for (int c = 0; c < 3; ++c) p[c] = p[c] * (1 - a) + color[c] * a;
  p[3] = p[3] * (1 - a) + a;
}

formats::TgaImage Canvas::toTga(bool withAlpha) const {
  formats::TgaImage image;
  image.width = static_cast<std::uint16_t>(width_);
  image.height = static_cast<std::uint16_t>(height_);
  image.bitsPerPixel = withAlpha ? 32 : 24;
  image.pixels.reserve(pixels_.size() * (withAlpha ? 4 : 3));
  for (const Rgba& p : pixels_) {
    // TGA keeps blue, green, red (and alpha).
    image.pixels.push_back(toByte(p[2]));
    image.pixels.push_back(toByte(p[1]));
    image.pixels.push_back(toByte(p[0]));
    if (withAlpha) image.pixels.push_back(toByte(p[3]));
  }
  return image;
}

Rgba mixColor(const Rgba& a, const Rgba& b, double t) {
  Rgba out;
  for (int c = 0; c < 4; ++c) out[c] = static_cast<float>(a[c] + (b[c] - a[c]) * t);
  return out;
}

}  // namespace tessarine::showgen
