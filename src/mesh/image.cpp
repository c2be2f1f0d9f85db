// Reads the header and raw pixels of a TGA image. Every size in the header is checked
// against the texture limits and against what the file holds before anything is allocated.
#include "mesh/image.h"

#include <algorithm>
#include <cstdint>

#include "common/byte_order.h"
#include "common/data_file.h"
#include "common/error.h"
#include "common/file_bytes.h"

namespace tessarine::mesh {
namespace {

using common::Error;

// The fixed header: id length, colour-map type, image type, colour-map layout,
// origin, width, height, depth, descriptor.
constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kImageTypeOffset = 2;
constexpr std::size_t kColorMapLengthOffset = 5;
constexpr std::size_t kColorMapEntryBitsOffset = 7;
constexpr std::size_t kWidthOffset = 12;
constexpr std::size_t kHeightOffset = 14;
constexpr std::size_t kDepthOffset = 16;
constexpr std::size_t kDescriptorOffset = 17;
// Uncompressed true colour: the one layout whose bytes are the pixels themselves.
constexpr std::uint8_t kTrueColor = 2;
// Set in the descriptor when the file's first row is the top of the image.
constexpr std::uint8_t kTopOriginBit = 0x20;
constexpr unsigned kBitsPerByte = 8;

std::string describeHeader(std::uint16_t width, std::uint16_t height, unsigned bits) {
  return std::to_string(width) + " x " + std::to_string(height) + " x " + std::to_string(bits) + "-bit";
}

void readImage(common::DataFile& file, Image& image) {
  const std::string& path = file.name();
  unsigned char header[kHeaderSize];
  file.read(header, sizeof header);
  std::uint8_t idLength = header[0];
  std::uint8_t type = header[kImageTypeOffset];
  const std::uint16_t width = image.width = common::loadU16LE(header + kWidthOffset);
  const std::uint16_t height = image.height = common::loadU16LE(header + kHeightOffset);
  const std::uint8_t bitsPerPixel = image.bitsPerPixel = header[kDepthOffset];
  auto place = [&](std::size_t offset, const std::string& found) { return file.bytePlace(offset, found); };
  if (type != kTrueColor) {
    throw Error("TGA image type " + std::to_string(type) + " is not uncompressed true colour (type 2): " + path,
                place(kImageTypeOffset, std::to_string(type)));
  }
  // Refused from the header, before the pixels are read: no texture can take another depth.
  if (bitsPerPixel != 24 && bitsPerPixel != 32) {
    throw Error("Unrecognized Image", place(kDepthOffset, std::to_string(bitsPerPixel) + " bits per pixel"));
  }
  if (width > Image::kMaxSide || height > Image::kMaxSide) {
    throw Error("Image " + path + " of " + describeHeader(width, height, bitsPerPixel) + " is larger than " +
                    std::to_string(Image::kMaxSide) + " pixels on a side",
                place(kWidthOffset, std::to_string(width) + " x " + std::to_string(height)));
  }
  if (idLength > file.remaining()) {
    throw Error("Image identification runs past the end of " + path, place(0, std::to_string(idLength)));
  }
  file.skip(idLength);
  // A colour map may stand before the pixels even of a true-colour image; it is not used.
  std::uint64_t mapBytes = std::uint64_t{common::loadU16LE(header + kColorMapLengthOffset)} *
                           ((header[kColorMapEntryBitsOffset] + kBitsPerByte - 1) / kBitsPerByte);
  if (mapBytes > file.remaining()) {
    throw Error("Colour map runs past the end of " + path, place(kColorMapLengthOffset, std::to_string(mapBytes) + " bytes"));
  }
  file.skip(mapBytes);

  std::uint64_t rowBytes = std::uint64_t{width} * bitsPerPixel / kBitsPerByte;
  std::uint64_t size = rowBytes * height;
  if (size > file.remaining()) {
    throw Error("Image " + path + " holds fewer pixels than its " + describeHeader(width, height, bitsPerPixel) +
                    " header declares",
                place(file.position(), std::to_string(file.remaining()) + " bytes of " + std::to_string(size)));
  }
  std::vector<unsigned char>& pixels = image.pixels;
  pixels.resize(static_cast<std::size_t>(size));
  file.read(pixels.data(), pixels.size());
  // Textures take the bottom row first; a top-left image is turned the right way up here.
  if ((header[kDescriptorOffset] & kTopOriginBit) != 0) {
    for (std::size_t top = 0, bottom = height; top + 1 < bottom; ++top, --bottom) {
      std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(top * rowBytes),
                       pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * rowBytes),
                       pixels.begin() + static_cast<std::ptrdiff_t>((bottom - 1) * rowBytes));
    }
  }
}

}  // namespace

Image readTga(std::span<const std::byte> bytes, const std::string& name) {
  common::DataFile file(bytes, name);
  Image image;
  try {
    readImage(file, image);
  } catch (const Error& error) {
    // A fault found without a place of its own lies where the reading stopped.
    if (!error.where().empty()) throw;
    throw Error(error.message(), file.bytePlace());
  }
  return image;
}

Image readTgaFile(const std::string& path) { return readTga(common::readFileBytes(path, "rb").bytes, path); }

}  // namespace tessarine::mesh
