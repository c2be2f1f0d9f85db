// The promise every decoder of real content's images keeps, checked on what it hands back.
#pragma once

#include "fuzz_target.h"
#include "mesh/image.h"

namespace tessarine::fuzz {

// 24 or 32 bits a pixel, sides from 1 to Image::kMaxSide, and exactly the pixel bytes its
// sides declare; anything else ends the process.
inline void checkDecodedImage(const mesh::Image& image) {
  if (image.bitsPerPixel != 24 && image.bitsPerPixel != 32) failInvariant("a depth no texture takes");
  if (image.width == 0 || image.height == 0) failInvariant("an image without pixels");
  if (image.width > mesh::Image::kMaxSide || image.height > mesh::Image::kMaxSide) {
    failInvariant("a side larger than a texture can have");
  }
  if (image.pixels.size() != std::size_t{image.width} * image.height * image.bitsPerPixel / 8) {
    failInvariant("pixel bytes differ from the image's size");
  }
}

}  // namespace tessarine::fuzz
