// Uncompressed true-colour TGA images, read whole and checked against the file's size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessarine::mesh {

struct Image {
  std::uint8_t bitsPerPixel = 0;
  std::uint16_t height = 0;
  std::uint16_t width = 0;
  // height x width x bitsPerPixel / 8 bytes, rows in file order, pixels in B, G, R(, A) order.
  std::vector<unsigned char> pixels;

  Image() = default;
  // Reads the file at `path` (already joined to the data directory). Throws common::Error.
  explicit Image(const std::string& path);
};

}  // namespace tessarine::mesh
