// Finding a file by the name LightWave content gives it: the author's own path
// ("C:\LW\Images\wood.iff", "HD1:images/Wood.IFF", "/home/x/Images/wood.tga" or a bare "wood"),
// looked for under this machine's content folders, letter case ignored where the exact spelling is absent.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessarine::common {

// Pieces of a name beyond these (from the front) are never looked for: no content nests deeper.
inline constexpr std::size_t kMaxNamePieces = 32;
// Entries read from one directory when matching a piece case-loosely; the rest go unseen.
inline constexpr std::size_t kMaxDirectoryEntries = 1 << 16;

struct ContentSearch {
  std::optional<std::string> found;  // the file's path, each piece as spelled on disk
  std::vector<std::string> tried;    // each place looked at, the name's pieces as written
};

// Looks for `name` under each of `folders`. The name is split on '/' and '\', after a drive
// or Amiga volume ("C:", "HD1:": up to a colon before any separator), which is dropped, as are
// ".", ".." and empty pieces. The whole relative path is tried under every folder in order,
// then the path with its first piece dropped, and so on down to the bare file name: the longest
// path that matches is the likeliest one the author meant. Each piece matches its exact
// spelling, else the one entry that equals it with ASCII case ignored (the first in byte order
// when several do). When the name's last piece has no extension, each of `extensions`
// (".lwo") is tried after the name as it stands. Reads no directory deeper than the name's
// pieces, and each directory at most once.
ContentSearch findContentFile(std::string_view name, std::span<const std::string> folders,
                              std::span<const std::string> extensions = {});

// `given`, or when none are: the folder of `file` (a scene or an object) and each folder above it
// up to the root, since content keeps Scenes/, Objects/ and Images/ side by side.
std::vector<std::string> contentFoldersFor(const std::string& file, std::span<const std::string> given);

}  // namespace tessarine::common
