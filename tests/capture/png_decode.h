// Reads a PNG file back through libpng's simplified API, as RGB rows top first.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tessarine::testing {

struct DecodedPng {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // top row first
};

inline DecodedPng decodePng(const std::string& path) {
  DecodedPng result;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return result;
  image.format = PNG_FORMAT_RGB;
  result.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, result.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return result;
  }
  result.ok = true;
  result.width = static_cast<int>(image.width);
  result.height = static_cast<int>(image.height);
  return result;
}

}  // namespace tessarine::testing
