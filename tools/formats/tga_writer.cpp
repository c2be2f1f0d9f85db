// Writes uncompressed TGA images with a bottom-left origin, as paint programs save them.
#include "formats/tga_writer.h"

#include <limits>

#include "common/error.h"

namespace tessarine::formats {
namespace {

constexpr std::uint8_t kTrueColor = 2;
constexpr std::uint8_t kGrayscale = 3;
constexpr std::size_t kMaxIdLength = std::numeric_limits<std::uint8_t>::max();

void appendU16LE(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

// The descriptor's low bits count the alpha bits of a pixel.
std::uint8_t alphaBits(std::uint8_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 32: return 8;
    case 16: return 1;
    default: return 0;
  }
}

}  // namespace

std::string writeTga(const TgaImage& image, std::string_view id) {
  if (id.size() > kMaxIdLength) throw common::Error("A TGA identification holds at most 255 bytes");
  std::size_t expected = std::size_t{image.width} * image.height * image.bitsPerPixel / 8;
  if (image.pixels.size() != expected) {
    throw common::Error("TGA pixels do not match width x height x bits per pixel");
  }
  std::string out;
  out.reserve(18 + id.size() + image.pixels.size());
  out.push_back(static_cast<char>(id.size()));
  out.push_back(0);  // no colour map
  out.push_back(static_cast<char>(image.bitsPerPixel == 8 ? kGrayscale : kTrueColor));
  out.append(5, '\0');  // colour-map layout: none
  appendU16LE(out, 0);  // x origin
  appendU16LE(out, 0);  // y origin
  appendU16LE(out, image.width);
  appendU16LE(out, image.height);
  out.push_back(static_cast<char>(image.bitsPerPixel));
  out.push_back(static_cast<char>(alphaBits(image.bitsPerPixel)));
  out.append(id);
  out.append(reinterpret_cast<const char*>(image.pixels.data()), image.pixels.size());
  return out;
}

}  // namespace tessarine::formats
