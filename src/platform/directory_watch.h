// Notices writes to the files of one directory (inotify), without blocking, and tells
// when they have settled, so that a file saved in several writes is read once, whole.
// A directory removed or replaced (by a rename) is looked for again and followed.
#pragma once

#include <cstdio>
#include <string>

namespace tessarine::platform {

class DirectoryWatch {
 public:
  // Watches `directory`; a directory that cannot be watched gives a watch that never
  // reports (watching() is false). What becomes of the watch later (the directory gone,
  // back, or the watch stopped) is written to `messages` as one line each.
  DirectoryWatch(const std::string& directory, double settleSeconds, std::FILE* messages = stderr);
  ~DirectoryWatch();
  DirectoryWatch(const DirectoryWatch&) = delete;
  DirectoryWatch& operator=(const DirectoryWatch&) = delete;

  // True while the watch goes on, including while the directory is gone and looked for.
  bool watching() const { return fd_ >= 0; }
  // Reads what has happened so far; true once, when `now` (seconds of a steady clock)
  // is settleSeconds after the last change. While the directory is gone it is looked
  // for again, a few times a second at most; its return counts as a change.
  bool settled(double now);

 private:
  // Watches the directory at the path now; false, with errno, if it is not (yet) there.
  bool attach();
  void say(const std::string& line);
  void changed(double now);
  // The directory at the path is no longer the one watched.
  void lost(double now);
  void stop(int error);

  std::string directory_;
  std::FILE* messages_;
  int fd_ = -1;
  int wd_ = -1;  // the directory's watch; -1 while it is gone
  double settleSeconds_;
  double nextAttempt_ = 0;
  bool pending_ = false;
  double lastChange_ = 0;
};

}  // namespace tessarine::platform
