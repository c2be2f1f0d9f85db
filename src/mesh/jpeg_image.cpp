// JPEG images through libjpeg-turbo's TurboJPEG interface, decoded to 24-bit B, G, R rows
// bottom first. Its warnings (data cut short, corrupt segments) are refusals, as they are
// for every other reader: a damaged file is not drawn half grey.
#include <turbojpeg.h>

#include <memory>

#include "mesh/image_decoding.h"

namespace tessarine::mesh {
namespace {

struct Destroy {
  void operator()(void* handle) const { tjDestroy(handle); }
};
using Decompressor = std::unique_ptr<void, Destroy>;

}  // namespace

Image decodeJpeg(std::span<const std::byte> bytes, const std::string& name) {
  const ImageBytes in(bytes, name, "JPEG");
  Decompressor decompressor(tjInitDecompress());
  if (!decompressor) in.failInFile("decoder", tjGetErrorStr2(nullptr));
  auto* data = const_cast<unsigned char*>(in.data());  // TurboJPEG 2 takes no const, writes nothing
  int width = 0, height = 0, subsampling = 0, colourSpace = 0;
  if (tjDecompressHeader3(decompressor.get(), data, in.size(), &width, &height, &subsampling, &colourSpace) != 0) {
    in.failInFile("header", tjGetErrorStr2(decompressor.get()));
  }
  checkSides(in, "header", 0, static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
  if (std::uint64_t(width) * std::uint64_t(height) > kMaxDecodedPixels) {
    in.failInFile("header", std::to_string(width) + " x " + std::to_string(height) + " is more than " +
                                std::to_string(kMaxDecodedPixels) + " pixels");
  }
  Image image =
      makeImage(in, "header", 0, static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), false);
  // A progressive file of endless scans would take endless time; real ones have a few.
  const int flags = TJFLAG_BOTTOMUP | TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS | TJFLAG_ACCURATEDCT;
  if (tjDecompress2(decompressor.get(), data, in.size(), image.pixels.data(), width, 0, height, TJPF_BGR, flags) != 0) {
    in.failInFile("image data", tjGetErrorStr2(decompressor.get()));
  }
  return image;
}

}  // namespace tessarine::mesh
