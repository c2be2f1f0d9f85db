// Which file a path leads to, whatever its spelling.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessarine::common {

// Two paths name the same file when their identities (device and inode) are equal.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file `path` leads to, or nothing when there is none to be had.
std::optional<FileIdentity> identityOf(const std::string& path);

}  // namespace tessarine::common
