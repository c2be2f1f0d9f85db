// Writes BMP images with the headers Windows and OS/2 programs use (12, 40, 108 or 124
// bytes), palettes, bit-field masks, raw rows padded to 4 bytes or run-length data.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessarine::formats {

struct BmpImage {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: rows top first
  std::uint16_t bitsPerPixel = 24;
  std::uint32_t headerSize = 40;
  std::uint32_t compression = 0;  // 0 raw, 1 RLE8, 2 RLE4, 3 bit fields
  // R, G, B(, A): into a header of 52 bytes or more, else after it.
  std::vector<std::uint32_t> masks;
  std::vector<std::array<std::uint8_t, 3>> palette;  // R, G, B
  // Raw rows in file order, each ceil(width x bits / 8) bytes, padded here; or the
  // run-length data as it stands.
  std::vector<std::uint8_t> pixels;
};

// The whole file.
std::string writeBmp(const BmpImage& image);

}  // namespace tessarine::formats
