// DirectoryWatch over inotify: the directory's own watch, replaced when the directory is.
#include "platform/directory_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tessarine::platform {
namespace {

// Room for many events per read; whatever they say, any event is a change.
constexpr std::size_t kEventBytes = 4096;
constexpr std::uint32_t kChanges = IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM;
// The directory itself going: removed (also by a rename over it), renamed away, or its
// file system unmounted. The last two kinds come whatever the mask asks for.
constexpr std::uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;
constexpr std::uint32_t kMask = kChanges | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Between two looks for a directory that is gone; each look is one system call.
constexpr double kRetrySeconds = 0.25;
constexpr const char* kPrefix = "tessarine: --watch: ";

}  // namespace

DirectoryWatch::DirectoryWatch(const std::string& directory, double settleSeconds, std::FILE* messages)
    : directory_(directory), messages_(messages), settleSeconds_(settleSeconds) {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ >= 0 && !attach()) {
    close(fd_);
    fd_ = -1;
  }
}

DirectoryWatch::~DirectoryWatch() {
  if (fd_ >= 0) close(fd_);
}

bool DirectoryWatch::attach() {
  wd_ = inotify_add_watch(fd_, directory_.c_str(), kMask);
  return wd_ >= 0;
}

void DirectoryWatch::say(const std::string& line) {
  std::fprintf(messages_, "%s%s\n", kPrefix, line.c_str());
  std::fflush(messages_);
}

void DirectoryWatch::changed(double now) {
  pending_ = true;
  lastChange_ = now;
}

void DirectoryWatch::lost(double now) {
  // A directory renamed away keeps its watch; it is no longer the one at the path.
  inotify_rm_watch(fd_, wd_);
  wd_ = -1;
  nextAttempt_ = now;
  say(directory_ + " is gone; watching for it again");
}

void DirectoryWatch::stop(int error) {
  say("stopped watching " + directory_ + ": " + std::strerror(error));
  close(fd_);
  fd_ = -1;
}

bool DirectoryWatch::settled(double now) {
  if (fd_ < 0) return false;
  alignas(inotify_event) std::array<char, kEventBytes> events;
  ssize_t length = 0;
  while ((length = read(fd_, events.data(), events.size())) > 0) {
    const auto size = static_cast<std::size_t>(length);
    for (std::size_t at = 0; size - at >= sizeof(inotify_event);) {
      const auto* event = reinterpret_cast<const inotify_event*>(events.data() + at);
      if (event->len > size - at - sizeof(inotify_event)) break;
      at += sizeof(inotify_event) + event->len;
      if (event->mask & IN_Q_OVERFLOW) {
        // Lost events may have told of the directory going: ask the path again.
        changed(now);
        if (wd_ >= 0 && inotify_add_watch(fd_, directory_.c_str(), kMask) != wd_) lost(now);
      } else if (event->wd == wd_ && wd_ >= 0) {
        // Events of a directory that went before are not this one's.
        changed(now);
        if (event->mask & kGone) lost(now);
      }
    }
  }
  if (length < 0 && errno != EAGAIN && errno != EINTR) {
    stop(errno);
    return false;
  }
  if (wd_ < 0) {
    if (now < nextAttempt_) return false;
    if (!attach()) {
      if (errno != ENOENT && errno != ENOTDIR) stop(errno);
      nextAttempt_ = now + kRetrySeconds;
      return false;
    }
    say("watching " + directory_ + " again");
    changed(now);
  }
  if (!pending_ || now - lastChange_ < settleSeconds_) return false;
  pending_ = false;
  return true;
}

}  // namespace tessarine::platform
