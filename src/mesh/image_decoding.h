// What the decoders of real content's images share: the file's bytes under its name,
// refusals that name the file, the format's part and the byte, and the output Image, made
// only once the caller has bounded its size by what the content can hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "mesh/image.h"

namespace tessarine::mesh {

// The most pixels a compressed image (PNG, JPEG) may decode to, whatever its sides: a few
// kilobytes of either can promise far more than any texture needs.
inline constexpr std::uint64_t kMaxDecodedPixels = std::uint64_t{1} << 26;

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0xFF;
};

class ImageBytes {
 public:
  // `bytes` must outlive the ImageBytes; `format` ("TGA", "ILBM") begins each refusal's part.
  ImageBytes(std::span<const std::byte> bytes, const std::string& name, std::string_view format)
      : data_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size()), name_(name), format_(format) {
  }

  std::uint64_t size() const { return size_; }
  const unsigned char* data() const { return data_; }
  const std::string& name() const { return name_; }

  // Refuses the image: "<name>: <format> <part>: <problem>", placed at `offset` of the file.
  [[noreturn]] void fail(std::string_view part, const std::string& problem, std::uint64_t offset) const;
  // The same, for a fault a library found somewhere in the file.
  [[noreturn]] void failInFile(std::string_view part, const std::string& problem) const;
  // The `count` bytes at `offset`; refused as `part` running past the end of the file.
  const unsigned char* at(std::uint64_t offset, std::uint64_t count, std::string_view part) const;

 private:
  const unsigned char* data_;
  std::uint64_t size_;
  const std::string& name_;
  std::string_view format_;
};

// Refuses a side of zero or above Image::kMaxSide as `part` at `offset`; callers whose
// sizes could overflow ask this before working out how many bytes the pixels take.
void checkSides(const ImageBytes& in, std::string_view part, std::uint64_t offset, std::uint64_t width,
                std::uint64_t height);

// An image of width x height pixels, 32-bit when `alpha`, else 24-bit, zero-filled; its
// sides are checked as checkSides does.
Image makeImage(const ImageBytes& in, std::string_view part, std::uint64_t offset, std::uint64_t width,
                std::uint64_t height, bool alpha);

// Row `y` counted from the top, as most files store them; the Image holds them bottom first.
inline unsigned char* rowFromTop(Image& image, std::size_t y) {
  std::size_t rowBytes = std::size_t{image.width} * image.bitsPerPixel / 8;
  return image.pixels.data() + (image.height - 1 - y) * rowBytes;
}

// Stores `colour` at pixel `x` of `row` in the Image's B, G, R(, A) order.
inline void storePixel(unsigned char* row, std::size_t x, bool alpha, Rgba colour) {
  unsigned char* p = row + x * (alpha ? 4 : 3);
  p[0] = colour.b;
  p[1] = colour.g;
  p[2] = colour.r;
  if (alpha) p[3] = colour.a;
}

// A channel of `bits` bits widened to 8, full scale kept full.
inline std::uint8_t widen(std::uint32_t value, unsigned bits) {
  if (bits == 0) return 0;
  if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
  return static_cast<std::uint8_t>(value * 255 / ((1u << bits) - 1));
}

// Whether the first bytes are a TGA header of a type and layout the TGA decoder takes: TGA
// has no signature of its own, so this is asked after every format that has one.
bool looksLikeTga(std::span<const std::byte> bytes);

// The decoders of each format; refusals are common::Error naming `name`.
Image decodeTga(std::span<const std::byte> bytes, const std::string& name);
Image decodeIlbm(std::span<const std::byte> bytes, const std::string& name);
Image decodeBmp(std::span<const std::byte> bytes, const std::string& name);
Image decodePng(std::span<const std::byte> bytes, const std::string& name);
Image decodeJpeg(std::span<const std::byte> bytes, const std::string& name);

}  // namespace tessarine::mesh
