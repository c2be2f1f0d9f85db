// PNG images of any colour type and depth through libpng's simplified reader, which keeps
// libpng's longjmp inside the library and hands back 8-bit B, G, R(, A) rows bottom first.
#include <png.h>

#include "common/byte_order.h"
#include "mesh/image_decoding.h"

namespace tessarine::mesh {
namespace {

// The header chunk's fields after the signature and the chunk's own length and id.
constexpr std::size_t kWidthOffset = 16;
constexpr std::size_t kBitDepthOffset = 24;
constexpr std::size_t kColourTypeOffset = 25;
// Deflate codes at most 258 bytes in a quarter of a byte or so: no more than this many
// bytes come out of each byte that goes in.
constexpr std::uint64_t kMaxDeflateExpansion = 1032;

// Frees what libpng holds for the image on every way out; freeing twice is harmless.
struct PngImage {
  png_image image{};
  PngImage() { image.version = PNG_IMAGE_VERSION; }
  ~PngImage() { png_image_free(&image); }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
};

unsigned channelsOf(unsigned colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

}  // namespace

Image decodePng(std::span<const std::byte> bytes, const std::string& name) {
  const ImageBytes in(bytes, name, "PNG");
  PngImage png;
  if (!png_image_begin_read_from_memory(&png.image, in.data(), in.size())) in.failInFile("header", png.image.message);
  // libpng has read the header chunk by now, so its fields are there and valid.
  const std::uint64_t width = png.image.width, height = png.image.height;
  checkSides(in, "header", kWidthOffset, width, height);
  if (width * height > kMaxDecodedPixels) {
    in.fail("header",
            std::to_string(width) + " x " + std::to_string(height) + " is more than " +
                std::to_string(kMaxDecodedPixels) + " pixels",
            kWidthOffset);
  }
  const unsigned char* header = in.data();
  const std::uint64_t rawBytes =
      height * (1 + (width * channelsOf(header[kColourTypeOffset]) * header[kBitDepthOffset] + 7) / 8);
  if (rawBytes > in.size() * kMaxDeflateExpansion) {
    in.fail("header",
            "a file of " + std::to_string(in.size()) + " bytes cannot hold the " + std::to_string(width) + " x " +
                std::to_string(height) + " pixels it declares",
            kWidthOffset);
  }
  const bool alpha = (png.image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  png.image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  Image image = makeImage(in, "header", kWidthOffset, width, height, alpha);
  // A negative stride asks for the bottom row first.
  const auto stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(png.image));
  if (!png_image_finish_read(&png.image, nullptr, image.pixels.data(), stride, nullptr)) {
    in.failInFile("image data", png.image.message);
  }
  return image;
}

}  // namespace tessarine::mesh
