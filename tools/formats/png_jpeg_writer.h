// Writes PNG (libpng) and JPEG (TurboJPEG) images in memory, for tests and fuzz seeds of
// the image readers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessarine::formats {

enum class PngLayout { kGrey, kGreyAlpha, kRgb, kRgba, kPalette };

// `pixels` top row first: 1 to 4 bytes a pixel as the layout says, or one palette index a
// pixel with `palette` holding R, G, B, A for each entry (written as PLTE and tRNS).
std::string writePng(std::uint32_t width, std::uint32_t height, PngLayout layout,
                     const std::vector<std::uint8_t>& pixels, const std::vector<std::uint8_t>& palette = {});

// `rgb` top row first, R, G, B; or one byte a pixel for a grey JPEG.
std::string writeJpeg(int width, int height, const std::vector<std::uint8_t>& rgb, bool grey = false, int quality = 95);

}  // namespace tessarine::formats
