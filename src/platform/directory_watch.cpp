#include "platform/directory_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessarine::platform {
namespace {

// Room for many events per read; whatever they say, any event is a change.
constexpr std::size_t kEventBytes = 4096;
constexpr std::uint32_t kChanges = IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM;

}  // namespace

DirectoryWatch::DirectoryWatch(const std::string& directory, double settleSeconds) : settleSeconds_(settleSeconds) {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ >= 0 && inotify_add_watch(fd_, directory.c_str(), kChanges) < 0) {
    close(fd_);
    fd_ = -1;
  }
}

DirectoryWatch::~DirectoryWatch() {
  if (fd_ >= 0) close(fd_);
}

bool DirectoryWatch::settled(double now) {
  if (fd_ < 0) return false;
  alignas(inotify_event) std::array<char, kEventBytes> events;
  while (read(fd_, events.data(), events.size()) > 0) {
    pending_ = true;
    lastChange_ = now;
  }
  if (!pending_ || now - lastChange_ < settleSeconds_) return false;
  pending_ = false;
  return true;
}

}  // namespace tessarine::platform
