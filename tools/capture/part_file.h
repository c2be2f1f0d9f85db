// A file made whole or not at all: written under a hidden name beside its own, then
// flushed to the disk and renamed over it, so a full disk or a failed encoder never
// leaves half a file under the name that was asked for.
#pragma once

#include <string>

namespace tessarine::capture {

class PartFile {
 public:
  // The part for `path`: ".NAME.part.EXT" in the same folder, keeping the extension by
  // which ffmpeg chooses the container. Nothing is made yet. Throws common::Error when
  // `path` is something other than a regular file: renaming over it would replace it.
  explicit PartFile(std::string path);
  // Removes the part unless it was kept; the file under `path` stays as it was.
  ~PartFile();
  PartFile(PartFile&& other) noexcept;
  PartFile& operator=(PartFile&& other) noexcept;
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  const std::string& path() const { return path_; }
  const std::string& partPath() const { return partPath_; }

  // Flushes the written part to the disk and renames it to `path`. Throws common::Error
  // naming `path` and the system's reason; the part is then removed.
  void keep();
  // Removes the part now, as the destructor would.
  void discard() noexcept;

 private:

  std::string path_;
  std::string partPath_;  // empty once kept or moved from
};

}  // namespace tessarine::capture
