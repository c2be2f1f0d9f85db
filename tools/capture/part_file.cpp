// Writing a file whole or not at all: the part beside it, fsync, then rename.
#include "capture/part_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "common/error.h"

namespace tessarine::capture {

namespace {

constexpr const char* kPartMark = ".part";

std::string partNameFor(const std::string& path) {
  const std::filesystem::path file(path);
  std::filesystem::path part = file;
  // Built piece by piece: g++ 12 at -O3 warns of overlapping copies in "." + a temporary.
  std::string name = ".";
  name += file.stem().string();
  name += kPartMark;
  name += file.extension().string();
  part.replace_filename(name);
  return part.string();
}

[[noreturn]] void cannotWrite(const std::string& path, const char* reason) {
  throw common::Error("I can't write file " + path + ": " + reason);
}

}  // namespace

PartFile::PartFile(std::string path) : path_(std::move(path)), partPath_(partNameFor(path_)) {
  struct stat info {};
  if (stat(path_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) cannotWrite(path_, "not a regular file");
}

PartFile::~PartFile() { discard(); }

PartFile::PartFile(PartFile&& other) noexcept
    : path_(std::move(other.path_)), partPath_(std::exchange(other.partPath_, {})) {}

PartFile& PartFile::operator=(PartFile&& other) noexcept {
  if (this != &other) {
    discard();
    path_ = std::move(other.path_);
    partPath_ = std::exchange(other.partPath_, {});
  }
  return *this;
}

void PartFile::keep() {
  if (partPath_.empty()) throw common::Error("The file " + path_ + " is already written");
  // Written data can still fail to reach the disk; fsync reports it before the name is
  // given to the file.
  const int file = open(partPath_.c_str(), O_RDONLY | O_CLOEXEC);
  int error = file < 0 ? errno : 0;
  if (file >= 0 && fsync(file) != 0) error = errno;
  if (file >= 0 && close(file) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(partPath_.c_str(), path_.c_str()) != 0) error = errno;
  if (error != 0) {
    discard();
    cannotWrite(path_, std::strerror(error));
  }
  partPath_.clear();
}

void PartFile::discard() noexcept {
  if (!partPath_.empty()) unlink(std::exchange(partPath_, {}).c_str());
}

}  // namespace tessarine::capture
