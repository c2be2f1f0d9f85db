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

// The image that stands beside the object file `name`: the name's extension (after the
// last '.' of its last component) replaced by "tga", joined to `directory` as the object
// is, so the image is looked for in the object's own directory and nowhere else. A name
// whose last component has no extension is refused.
std::string imagePathFor(std::string_view directory, std::string_view name);

}  // namespace tessarine::common
