// Images as real content names them: TGA of every type, IFF ILBM, BMP, PNG and JPEG, told
// apart by their content and read from bytes into the Image the show's TGA reader makes, so
// a texture is made from either alike.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "mesh/image.h"

namespace tessarine::mesh {

enum class ImageFormat { kTga, kIlbm, kBmp, kPng, kJpeg };

// "TGA", "ILBM", "BMP", "PNG" or "JPEG".
const char* formatName(ImageFormat format);

struct DecodedImage {
  ImageFormat format = ImageFormat::kTga;
  // 24-bit B, G, R, or 32-bit B, G, R, A when the file has alpha, a mask or a transparent
  // colour; bottom row first.
  Image image;
};

// Reads an image of any of the formats from `bytes`; `name` stands for them in messages.
// Throws common::Error naming the file, the format's part and the byte where it can. The
// show's own images go through readTga, which keeps the show's refusals.
DecodedImage readImage(std::span<const std::byte> bytes, const std::string& name);
// Reads the whole file at `path`, then readImage.
DecodedImage readImageFile(const std::string& path);

}  // namespace tessarine::mesh
