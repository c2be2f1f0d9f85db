// Writes IFF ILBM images as Amiga paint programs saved them: bit planes raw or ByteRun1
// packed, a mask plane or a transparent colour, the CAMG view modes (extra-half-brite,
// hold-and-modify), deep 24- and 32-plane images and the chunky PBM variant.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarine::formats {

struct IlbmImage {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t planes = 8;  // 1 to 8, 24 or 32; 8 for a PBM
  // One per pixel, top row first: bit p of a value goes to plane p. A palette index, a
  // hold-and-modify code, or R | G << 8 | B << 16 (| A << 24) for a deep image.
  std::vector<std::uint32_t> values;
  std::vector<std::array<std::uint8_t, 3>> palette;  // CMAP, R, G, B; empty: none written
  std::optional<std::uint32_t> viewModes;            // CAMG
  std::vector<std::uint8_t> mask;                    // one per pixel, 0 transparent; non-empty: a mask plane
  std::optional<std::uint16_t> transparentColour;
  bool byteRun1 = false;
  bool chunky = false;  // FORM PBM: a byte a pixel, rows padded to an even length
};

// The whole file.
std::string writeIlbm(const IlbmImage& image);

// `bytes` packed with ByteRun1: repeats of three or more as runs, the rest as literals.
std::string packByteRun1(std::string_view bytes);

}  // namespace tessarine::formats
