// Uncompressed true-colour TGA images of 24 or 32 bits, read from bytes in memory and
// checked against what the bytes hold and the texture limits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

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
};

// Reads a TGA image from `bytes`; `name` stands for them in messages. Throws common::Error;
// a depth other than 24 or 32 bits is "Unrecognized Image".
Image readTga(std::span<const std::byte> bytes, const std::string& name);
// Reads the whole file at `path` (already joined to the data directory), then readTga.
Image readTgaFile(const std::string& path);

}  // namespace tessarine::mesh
