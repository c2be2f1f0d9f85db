// Writes uncompressed true-colour TGA images (24 or 32 bits per pixel).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessarine::formats {

struct TgaImage {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t bitsPerPixel = 24;  // 24: B, G, R; 32: B, G, R, A
  std::vector<std::uint8_t> pixels;  // rows bottom first, tightly packed
};

// The whole file; `id` goes into the image identification field.
std::string writeTga(const TgaImage& image, std::string_view id = "");

}  // namespace tessarine::formats
