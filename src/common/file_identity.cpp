// A file's identity from stat: its device and inode, which every spelling of its path shares.
#include "common/file_identity.h"

#include <sys/stat.h>

namespace tessarine::common {

std::optional<FileIdentity> identityOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

}  // namespace tessarine::common
