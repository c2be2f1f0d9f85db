// PNG frames encoded by libpng into a part file that takes the frame's name once whole.
#include "capture/png_file.h"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "capture/part_file.h"
#include "common/error.h"

namespace tessarine::capture {

namespace {

constexpr int kChannels = 4;
// The fastest level and one fixed filter: a long capture writes thousands of frames, and
// with the defaults the encoder took three times as long as the drawing, for files only
// a fifth smaller.
constexpr int kCompressionLevel = 1;
constexpr int kRowFilter = PNG_FILTER_SUB;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Where libpng's bytes go, and the system's reason when they could not.
struct PngSink {
  std::FILE* file;
  int error = 0;
};

void writeBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, length, sink->file) != length) {
    sink->error = errno;
    png_error(png, "write");
  }
}

void flushNothing(png_structp) {}

// libpng's own handlers would print to standard error; the caller says what failed.
[[noreturn]] void stopEncoding(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

// The libpng write structures, released together however the writing ends.
class PngWriter {
 public:
  PngWriter()
      : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, stopEncoding, ignoreWarning)),
        info_(png_ ? png_create_info_struct(png_) : nullptr) {}
  ~PngWriter() { png_destroy_write_struct(&png_, &info_); }
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  bool valid() const { return png_ != nullptr && info_ != nullptr; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

// Everything that may longjmp lives here, with no C++ object of its own to unwind.
bool encode(const PngWriter& writer, PngSink& sink, std::span<const std::uint8_t> rgba, int width, int height) {
  png_structp png = writer.png();
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &sink, writeBytes, flushNothing);
  png_set_compression_level(png, kCompressionLevel);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, kRowFilter);
  png_set_IHDR(png, writer.info(), static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, writer.info());
  // The rows hold a fourth byte per pixel that the RGB file leaves out.
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  const std::size_t stride = static_cast<std::size_t>(width) * kChannels;
  for (int y = height - 1; y >= 0; --y) {
    png_write_row(png, rgba.data() + static_cast<std::size_t>(y) * stride);
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

void writePng(const std::string& path, std::span<const std::uint8_t> rgba, int width, int height) {
  if (width <= 0 || height <= 0 ||
      rgba.size() / kChannels / static_cast<std::size_t>(width) != static_cast<std::size_t>(height) ||
      rgba.size() % (static_cast<std::size_t>(width) * kChannels) != 0) {
    throw common::Error("A frame of the wrong size for " + path);
  }
  PartFile part(path);
  const int descriptor = open(part.partPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  std::unique_ptr<std::FILE, FileCloser> file(descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr);
  if (!file) {
    const int error = errno;
    if (descriptor >= 0) close(descriptor);
    throw common::Error("I can't open file " + path + " as wb: " + std::strerror(error));
  }
  PngWriter writer;
  PngSink sink{file.get()};
  bool written = writer.valid() && encode(writer, sink, rgba, width, height);
  // Closing writes what the stream still holds, and may be the first to meet a full disk.
  if (std::fclose(file.release()) != 0 && written) {
    written = false;
    sink.error = errno;
  }
  if (!written) {
    throw common::Error("I can't write file " + path + ": " +
                        (sink.error != 0 ? std::strerror(sink.error) : "the PNG encoder failed"));
  }
  part.keep();
}

}  // namespace tessarine::capture
