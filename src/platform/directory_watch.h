// Notices writes to the files of one directory (inotify), without blocking, and tells
// when they have settled, so that a file saved in several writes is read once, whole.
#pragma once

#include <string>

namespace tessarine::platform {

class DirectoryWatch {
 public:
  // Watches `directory`; a directory that cannot be watched gives a watch that never
  // reports (watching() is false).
  DirectoryWatch(const std::string& directory, double settleSeconds);
  ~DirectoryWatch();
  DirectoryWatch(const DirectoryWatch&) = delete;
  DirectoryWatch& operator=(const DirectoryWatch&) = delete;

  bool watching() const { return fd_ >= 0; }
  // Reads what has happened so far; true once, when `now` (seconds of a steady clock)
  // is settleSeconds after the last change.
  bool settled(double now);

 private:
  int fd_ = -1;
  double settleSeconds_;
  bool pending_ = false;
  double lastChange_ = 0;
};

}  // namespace tessarine::platform
