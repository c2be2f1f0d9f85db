// Tells the image formats apart by their first bytes and hands the bytes to the format's
// decoder; holds what the decoders share (refusals, the output image).
#include <array>
#include <cstring>

#include "common/error.h"
#include "common/file_bytes.h"
#include "mesh/image_decoding.h"
#include "mesh/image_formats.h"

namespace tessarine::mesh {
namespace {

constexpr std::array<unsigned char, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::array<unsigned char, 3> kJpegStart = {0xFF, 0xD8, 0xFF};
constexpr std::size_t kIffTypeOffset = 8;
constexpr std::size_t kIffHeaderSize = 12;

bool startsWith(std::span<const std::byte> bytes, const void* prefix, std::size_t size) {
  return bytes.size() >= size && std::memcmp(bytes.data(), prefix, size) == 0;
}

bool isIlbm(std::span<const std::byte> bytes) {
  if (!startsWith(bytes, "FORM", 4) || bytes.size() < kIffHeaderSize) return false;
  const void* type = bytes.data() + kIffTypeOffset;
  return std::memcmp(type, "ILBM", 4) == 0 || std::memcmp(type, "PBM ", 4) == 0;
}

}  // namespace

void ImageBytes::fail(std::string_view part, const std::string& problem, std::uint64_t offset) const {
  throw common::Error(name_ + ": " + std::string(format_) + " " + std::string(part) + ": " + problem,
                      name_ + ", byte " + std::to_string(offset));
}

void ImageBytes::failInFile(std::string_view part, const std::string& problem) const {
  throw common::Error(name_ + ": " + std::string(format_) + " " + std::string(part) + ": " + problem, name_);
}

const unsigned char* ImageBytes::at(std::uint64_t offset, std::uint64_t count, std::string_view part) const {
  if (offset > size_ || count > size_ - offset) {
    fail(part,
         "runs past the end of the file (" + std::to_string(count) + " bytes wanted, " +
             std::to_string(offset > size_ ? 0 : size_ - offset) + " there)",
         offset);
  }
  return data_ + offset;
}

void checkSides(const ImageBytes& in, std::string_view part, std::uint64_t offset, std::uint64_t width,
                std::uint64_t height) {
  if (width == 0 || height == 0)
    in.fail(part, "the image has no pixels (" + std::to_string(width) + " x " + std::to_string(height) + ")", offset);
  if (width > Image::kMaxSide || height > Image::kMaxSide) {
    in.fail(part,
            std::to_string(width) + " x " + std::to_string(height) + " is larger than " +
                std::to_string(Image::kMaxSide) + " pixels on a side",
            offset);
  }
}

Image makeImage(const ImageBytes& in, std::string_view part, std::uint64_t offset, std::uint64_t width,
                std::uint64_t height, bool alpha) {
  checkSides(in, part, offset, width, height);
  Image image;
  image.width = static_cast<std::uint16_t>(width);
  image.height = static_cast<std::uint16_t>(height);
  image.bitsPerPixel = alpha ? 32 : 24;
  image.pixels.resize(static_cast<std::size_t>(width * height * (alpha ? 4 : 3)));
  return image;
}

const char* formatName(ImageFormat format) {
  switch (format) {
    case ImageFormat::kTga: return "TGA";
    case ImageFormat::kIlbm: return "ILBM";
    case ImageFormat::kBmp: return "BMP";
    case ImageFormat::kPng: return "PNG";
    case ImageFormat::kJpeg: return "JPEG";
  }
  return "?";
}

DecodedImage readImage(std::span<const std::byte> bytes, const std::string& name) {
  if (isIlbm(bytes)) return {ImageFormat::kIlbm, decodeIlbm(bytes, name)};
  if (startsWith(bytes, kPngSignature.data(), kPngSignature.size())) return {ImageFormat::kPng, decodePng(bytes, name)};
  if (startsWith(bytes, kJpegStart.data(), kJpegStart.size())) return {ImageFormat::kJpeg, decodeJpeg(bytes, name)};
  if (startsWith(bytes, "BM", 2)) return {ImageFormat::kBmp, decodeBmp(bytes, name)};
  if (looksLikeTga(bytes)) return {ImageFormat::kTga, decodeTga(bytes, name)};
  throw common::Error(name + ": not an image of a known format (TGA, ILBM, BMP, PNG or JPEG)", name + ", byte 0");
}

DecodedImage readImageFile(const std::string& path) { return readImage(common::readFileBytes(path, "rb").bytes, path); }

}  // namespace tessarine::mesh
