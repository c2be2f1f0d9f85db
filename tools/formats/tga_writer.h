// Writes TGA images: uncompressed true colour (24 or 32 bits per pixel) as the show's are,
// and the other types real content holds (colour-mapped, grey, run-length, top origin).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarine::formats {

struct TgaImage {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t bitsPerPixel = 24;  // 24: B, G, R; 32: B, G, R, A
  std::vector<std::uint8_t> pixels;  // rows in file order (see descriptor), tightly packed
  // 0: true colour (2), or grey (3) for 8 bits; else the type as given (a run-length type
  // takes the pixels as above and writes them as packets that run on across rows).
  std::uint8_t imageType = 0;
  std::vector<std::uint8_t> colourMap;  // entries as stored, mapEntryBits each; written when not empty
  std::uint8_t mapEntryBits = 24;
  std::uint16_t mapFirst = 0;
  // Alpha bits, right-to-left (0x10) and top origin (0x20; pixels then top row first).
  // Default: 8 alpha bits for 32 bits a pixel, 1 for 16, bottom-left origin.
  std::optional<std::uint8_t> descriptor;
};

// The whole file; `id` goes into the image identification field.
std::string writeTga(const TgaImage& image, std::string_view id = "");

}  // namespace tessarine::formats
