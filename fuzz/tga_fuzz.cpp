// Fuzz target for the TGA image reader: the bytes are read as an image's.
#include <span>

#include "common/error.h"
#include "fuzz_target.h"
#include "mesh/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessarine;
  try {
    const mesh::Image image = mesh::readTga(std::as_bytes(std::span(data, size)), "image.tga");
    // An image is accepted only whole: every pixel byte its header declares was in the file.
    std::uint64_t declared = std::uint64_t{image.width} * image.height * image.bitsPerPixel / 8;
    if (image.pixels.size() != declared) fuzz::failInvariant("pixel bytes differ from the header's size");
    if (image.pixels.size() > size) fuzz::failInvariant("more pixel bytes than the file holds");
    if (image.bitsPerPixel != 24 && image.bitsPerPixel != 32) fuzz::failInvariant("a depth no texture takes");
    if (image.width > mesh::Image::kMaxSide || image.height > mesh::Image::kMaxSide) {
      fuzz::failInvariant("a side larger than a texture can have");
    }
  } catch (const common::Error&) {
    // A clear refusal is what a malformed image should get.
  }
  return 0;
}
