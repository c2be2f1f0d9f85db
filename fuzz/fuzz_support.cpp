// The scratch directory and fixtures shared by the reader fuzz targets.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "formats/lwo2_writer.h"
#include "formats/tga_writer.h"
#include "fuzz_target.h"

namespace tessarine::fuzz {
namespace {

[[noreturn]] void failHarness(const std::string& what) {
  std::fprintf(stderr, "fuzz harness: %s\n", what.c_str());
  std::abort();
}

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) base = "/tmp";
    std::string pattern = (base / "tessarine-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) failHarness("cannot make a scratch directory in " + base.string());
    path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

const std::string& scratchDirectory() {
  static ScratchDirectory directory;
  return directory.path();
}

void writeScratchFile(std::string_view name, std::string_view bytes) {
  std::string path = scratchDirectory() + "/" + std::string(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) failHarness("cannot write " + path);
}

void makeScratchFifo(std::string_view name) {
  std::string path = scratchDirectory() + "/" + std::string(name);
  if (mkfifo(path.c_str(), 0600) != 0) failHarness("cannot make the FIFO " + path);
}

void makeScratchDirectory(std::string_view name) {
  std::string path = scratchDirectory() + "/" + std::string(name);
  std::error_code error;
  if (!std::filesystem::create_directory(path, error)) failHarness("cannot make the directory " + path);
}

std::string smallObjectBytes() {
  formats::ObjectData object;
  object.points = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  object.uvs = {{0, 0}, {0, 1}, {1, 1}};
  object.polygons = {{0, 1, 2}};
  return formats::writeLwo2(object);
}

std::string smallImageBytes() {
  formats::TgaImage image;
  image.width = 2;
  image.height = 2;
  image.bitsPerPixel = 24;
  image.pixels.assign(std::size_t{2} * 2 * 3, 0x80);
  return formats::writeTga(image);
}

void failInvariant(const char* what) {
  std::fprintf(stderr, "reader broke its promise: %s\n", what);
  std::abort();
}

}  // namespace tessarine::fuzz
