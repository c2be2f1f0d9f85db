// Writes TGA images, raw or run-length, with a bottom-left origin unless told, as paint
// programs save them.
#include "formats/tga_writer.h"

#include <algorithm>
#include <limits>

#include "common/error.h"

namespace tessarine::formats {
namespace {

constexpr std::uint8_t kTrueColor = 2;
constexpr std::uint8_t kGrayscale = 3;
constexpr std::uint8_t kRunLength = 8;
constexpr std::size_t kMaxIdLength = std::numeric_limits<std::uint8_t>::max();
constexpr std::size_t kMaxPacket = 128;

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

// Pixels of `size` bytes as packets: a run for two or more equal pixels, else raw ones.
std::string runLengthPackets(const std::vector<std::uint8_t>& pixels, std::size_t size) {
  std::string out;
  const std::size_t count = pixels.size() / size;
  auto same = [&](std::size_t a, std::size_t b) {
    return std::equal(pixels.begin() + a * size, pixels.begin() + (a + 1) * size, pixels.begin() + b * size);
  };
  auto append = [&](std::size_t first, std::size_t n) {
    out.append(pixels.begin() + first * size, pixels.begin() + (first + n) * size);
  };
  for (std::size_t i = 0; i < count;) {
    std::size_t n = 1;
    while (i + n < count && n < kMaxPacket && same(i, i + n)) ++n;
    if (n >= 2) {
      out.push_back(static_cast<char>(0x80 | (n - 1)));
      append(i, 1);
    } else {
      // Raw pixels until one that starts a run of its own.
      while (i + n < count && n < kMaxPacket && !(i + n + 1 < count && same(i + n, i + n + 1))) ++n;
      out.push_back(static_cast<char>(n - 1));
      append(i, n);
    }
    i += n;
  }
  return out;
}

}  // namespace

std::string writeTga(const TgaImage& image, std::string_view id) {
  if (id.size() > kMaxIdLength) throw common::Error("A TGA identification holds at most 255 bytes");
  std::size_t expected = std::size_t{image.width} * image.height * ((image.bitsPerPixel + 7u) / 8u);
  if (image.pixels.size() != expected) {
    throw common::Error("TGA pixels do not match width x height x bits per pixel");
  }
  std::string out;
  out.reserve(18 + id.size() + image.pixels.size());
  out.push_back(static_cast<char>(id.size()));
  const std::uint8_t type = image.imageType != 0 ? image.imageType : image.bitsPerPixel == 8 ? kGrayscale : kTrueColor;
  const std::size_t entryBytes = (image.mapEntryBits + 7u) / 8u;
  const bool mapped = !image.colourMap.empty();
  out.push_back(mapped ? 1 : 0);
  out.push_back(static_cast<char>(type));
  appendU16LE(out, image.mapFirst);
  appendU16LE(out, static_cast<std::uint16_t>(image.colourMap.size() / entryBytes));
  out.push_back(static_cast<char>(mapped ? image.mapEntryBits : 0));
  appendU16LE(out, 0);  // x origin
  appendU16LE(out, 0);  // y origin
  appendU16LE(out, image.width);
  appendU16LE(out, image.height);
  out.push_back(static_cast<char>(image.bitsPerPixel));
  out.push_back(static_cast<char>(image.descriptor.value_or(alphaBits(image.bitsPerPixel))));
  out.append(id);
  out.append(image.colourMap.begin(), image.colourMap.end());
  if (type & kRunLength) {
    out += runLengthPackets(image.pixels, (image.bitsPerPixel + 7u) / 8u);
  } else {
    out.append(reinterpret_cast<const char*>(image.pixels.data()), image.pixels.size());
  }
  return out;
}

}  // namespace tessarine::formats
