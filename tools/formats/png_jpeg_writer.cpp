// PNG through libpng's simplified writer, JPEG through TurboJPEG, both into memory.
#include "formats/png_jpeg_writer.h"

#include <png.h>
#include <turbojpeg.h>

#include <memory>

#include "common/error.h"

namespace tessarine::formats {

std::string writePng(std::uint32_t width, std::uint32_t height, PngLayout layout,
                     const std::vector<std::uint8_t>& pixels, const std::vector<std::uint8_t>& palette) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  constexpr png_uint_32 kFormats[] = {PNG_FORMAT_GRAY, PNG_FORMAT_GA, PNG_FORMAT_RGB, PNG_FORMAT_RGBA,
                                      PNG_FORMAT_RGBA_COLORMAP};
  image.format = kFormats[static_cast<int>(layout)];
  image.colormap_entries = static_cast<png_uint_32>(palette.size() / 4);
  const void* colourMap = palette.empty() ? nullptr : palette.data();
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, colourMap)) {
    throw common::Error(std::string("PNG not written: ") + image.message);
  }
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, colourMap)) {
    throw common::Error(std::string("PNG not written: ") + image.message);
  }
  out.resize(size);
  return out;
}

std::string writeJpeg(int width, int height, const std::vector<std::uint8_t>& rgb, bool grey, int quality) {
  std::unique_ptr<void, int (*)(tjhandle)> compressor(tjInitCompress(), tjDestroy);
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  if (tjCompress2(compressor.get(), rgb.data(), width, 0, height, grey ? TJPF_GRAY : TJPF_RGB, &jpeg, &size,
                  grey ? TJSAMP_GRAY : TJSAMP_444, quality, TJFLAG_ACCURATEDCT) != 0) {
    throw common::Error(std::string("JPEG not written: ") + tjGetErrorStr2(compressor.get()));
  }
  std::string out(reinterpret_cast<const char*>(jpeg), size);
  tjFree(jpeg);
  return out;
}

}  // namespace tessarine::formats
