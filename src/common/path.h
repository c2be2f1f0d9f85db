// Joining a file name to the data directory.
#pragma once

#include <string>
#include <string_view>

namespace tessarine::common {

// The longest path the platform will open; a longer one is refused, never cut.
inline constexpr std::size_t kMaxPath = 4095;

// "-" and the empty directory mean "the bare name"; anything else is joined with '/'.
// Throws Error when the joined path is longer than kMaxPath.
std::string joinPath(std::string_view directory, std::string_view name);

// The object path with its last three characters replaced by "tga"; a path shorter
// than three characters has no extension to replace and is refused.
std::string imagePathFor(std::string_view objectPath);

}  // namespace tessarine::common
