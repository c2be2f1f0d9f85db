// Uncompressed true-colour TGA images of 24 or 32 bits, read whole and checked against
// the file's size and the texture limits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessarine::common {
class DataFile;
}

namespace tessarine::mesh {

struct Image {
  // The largest side a texture can have; a larger image is refused from its header.
  static constexpr std::uint16_t kMaxSide = 16384;

  std::uint8_t bitsPerPixel = 0;
  std::uint16_t height = 0;
  std::uint16_t width = 0;
  // height x width x bitsPerPixel / 8 bytes, bottom row first whatever the file's
  // origin, pixels in B, G, R(, A) order.
  std::vector<unsigned char> pixels;

  Image() = default;
  // Reads the file at `path` (already joined to the data directory). Throws common::Error;
  // a depth other than 24 or 32 bits is "Unrecognized Image".
  explicit Image(const std::string& path);

 private:
  void read(common::DataFile& file);
};

}  // namespace tessarine::mesh
