// Reading a data file whole: opened without blocking, checked to be a regular file of a
// bounded size, read to the size it had when opened, and closed with the close checked.
#include "common/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "common/error.h"

namespace tessarine::common {
namespace {

// Closes the descriptor on the way out of a failure; the close that ends a good read is
// made and checked by hand.
class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return descriptor_; }
  int release() { return std::exchange(descriptor_, -1); }

 private:
  int descriptor_;
};

}  // namespace

FileBytes readFileBytes(const std::string& path, const char* mode) {
  // The message is made before the attempt, as the caller reports exactly this text.
  const std::string openFailure = "I can't open file " + path + " as " + mode;
  auto fail = [&](const char* reason) { throw Error(openFailure, path + ": " + reason); };
  // Opened without blocking and checked before anything is read: a FIFO named as a data
  // file would wait for a writer for ever.
  Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) fail(std::strerror(errno));
  struct stat status {};
  if (fstat(file.get(), &status) != 0) fail(std::strerror(errno));
  if (!S_ISREG(status.st_mode)) fail("not a regular file");
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (size > kMaxFileBytes) {
    throw Error("File " + path + " of " + std::to_string(size) + " bytes is larger than the " +
                    std::to_string(kMaxFileBytes) + " bytes a data file can hold",
                path);
  }

  FileBytes read{.bytes = std::vector<std::byte>(static_cast<std::size_t>(size)),
                 .identity = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)}};
  std::size_t got = 0;
  // A file that shrinks meanwhile is kept short, and its reader meets the end early.
  while (got < read.bytes.size()) {
    ssize_t count = ::read(file.get(), read.bytes.data() + got, read.bytes.size() - got);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) throw Error("I can't read file " + path, path + ": " + std::strerror(errno));
    if (count == 0) break;
    got += static_cast<std::size_t>(count);
  }
  read.bytes.resize(got);
  if (::close(file.release()) != 0) throw Error("I can't close file", path + ": " + std::strerror(errno));
  return read;
}

}  // namespace tessarine::common
