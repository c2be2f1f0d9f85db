// A data file read whole into memory: the thin step in front of every reader, which then
// reads the bytes. Only regular files are read, and none larger than a data file can be.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/file_identity.h"

namespace tessarine::common {

// The largest file read: an image of the largest texture (16384 pixels a side, 32 bits)
// with room to spare for its header and colour map. Anything larger is no data file.
inline constexpr std::uint64_t kMaxFileBytes = (std::uint64_t{1} << 30) + (std::uint64_t{1} << 20);

struct FileBytes {
  std::vector<std::byte> bytes;
  FileIdentity identity;  // the file read, whatever spelling of its path led there
};

// Reads the whole file at `path`. Throws Error("I can't open file <path> as <mode>") when
// it cannot be opened or is no regular file, its place naming the path and the reason;
// refuses a file larger than kMaxFileBytes before reading it. `mode` ("rt", "rb") only
// names the file's kind in the message: the bytes are read as they stand.
FileBytes readFileBytes(const std::string& path, const char* mode);

}  // namespace tessarine::common
