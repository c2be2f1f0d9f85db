// Writes BMP files: the file header, the info header of the size asked for, the masks, the
// palette and the pixels, rows padded to a multiple of 4 bytes.
#include "formats/bmp_writer.h"

#include <cstdlib>

#include "common/error.h"

namespace tessarine::formats {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

void appendLE(std::string& out, std::uint32_t value, unsigned bytes) {
  for (unsigned i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

}  // namespace

std::string writeBmp(const BmpImage& image) {
  const bool core = image.headerSize == kCoreHeaderSize;
  std::string header;
  appendLE(header, image.headerSize, 4);
  appendLE(header, static_cast<std::uint32_t>(image.width), core ? 2 : 4);
  appendLE(header, static_cast<std::uint32_t>(image.height), core ? 2 : 4);
  appendLE(header, 1, 2);  // planes
  appendLE(header, image.bitsPerPixel, 2);
  if (!core) {
    appendLE(header, image.compression, 4);
    header.append(12, '\0');  // image size, resolution
    appendLE(header, static_cast<std::uint32_t>(image.palette.size()), 4);
    appendLE(header, 0, 4);
  }
  std::string masks;
  for (std::uint32_t mask : image.masks) appendLE(image.headerSize > kInfoHeaderSize ? header : masks, mask, 4);
  if (header.size() > image.headerSize) throw common::Error("BMP header too small for its fields");
  header.resize(image.headerSize, '\0');
  for (const auto& c : image.palette) {
    header += {static_cast<char>(c[2]), static_cast<char>(c[1]), static_cast<char>(c[0])};
    if (!core) header.push_back('\0');
  }
  std::string pixels;
  if (image.compression == 1 || image.compression == 2) {
    pixels.assign(image.pixels.begin(), image.pixels.end());
  } else {
    const std::size_t rowBytes = (std::size_t(image.width) * image.bitsPerPixel + 7) / 8;
    const std::size_t rows = static_cast<std::size_t>(std::abs(image.height));
    if (image.pixels.size() != rowBytes * rows) throw common::Error("BMP pixels do not match its rows");
    for (std::size_t r = 0; r < rows; ++r) {
      pixels.append(image.pixels.begin() + r * rowBytes, image.pixels.begin() + (r + 1) * rowBytes);
      pixels.append((4 - rowBytes % 4) % 4, '\0');
    }
  }
  const auto dataOffset = static_cast<std::uint32_t>(kFileHeaderSize + header.size() + masks.size());
  std::string out = "BM";
  appendLE(out, dataOffset + static_cast<std::uint32_t>(pixels.size()), 4);
  appendLE(out, 0, 4);
  appendLE(out, dataOffset, 4);
  return out + header.substr(0, image.headerSize) + masks + header.substr(image.headerSize) + pixels;
}

}  // namespace tessarine::formats
