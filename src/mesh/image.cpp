// Reads the header and raw pixels of a TGA file. Every size in the header is checked
// against what the file holds before anything is allocated for it.
#include "mesh/image.h"

#include <cstdint>

#include "common/byte_order.h"
#include "common/data_file.h"
#include "common/error.h"

namespace tessarine::mesh {
namespace {

using common::Error;

// The fixed header: id length, colour-map type, image type, colour-map layout,
// origin, width, height, depth, descriptor.
constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kImageTypeOffset = 2;
constexpr std::size_t kWidthOffset = 12;
constexpr std::size_t kHeightOffset = 14;
constexpr std::size_t kDepthOffset = 16;
// Image types 9, 10 and 11 hold run-length packets, which would be shown as noise if
// taken for raw pixels.
constexpr std::uint8_t kRunLengthFlag = 8;
constexpr unsigned kBitsPerByte = 8;

}  // namespace

Image::Image(const std::string& path) {
  common::DataFile file(path, "rb");
  unsigned char header[kHeaderSize];
  file.read(header, sizeof header);
  std::uint8_t idLength = header[0];
  width = common::loadU16LE(header + kWidthOffset);
  height = common::loadU16LE(header + kHeightOffset);
  bitsPerPixel = header[kDepthOffset];
  if ((header[kImageTypeOffset] & kRunLengthFlag) != 0) {
    throw Error("Compressed TGA images are not supported: " + path);
  }
  if (idLength > file.remaining()) {
    throw Error("Image identification runs past the end of " + path);
  }
  file.skip(idLength);

  // Integer division as the format defines it: a depth that is no whole number of bytes
  // still gives a definite size.
  std::uint64_t size = std::uint64_t{width} * height * bitsPerPixel / kBitsPerByte;
  if (size > file.remaining()) {
    throw Error("Image " + path + " holds fewer pixels than its " + std::to_string(width) + " x " +
                std::to_string(height) + " x " + std::to_string(bitsPerPixel) + "-bit header declares");
  }
  pixels.resize(static_cast<std::size_t>(size));
  file.read(pixels.data(), pixels.size());
  file.close();
}

}  // namespace tessarine::mesh
