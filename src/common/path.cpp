// Joining names to the data directory, refusing paths too long to open rather than cutting
// them, and the image path beside an object file.
#include "common/path.h"

#include "common/error.h"

namespace tessarine::common {

std::string joinPath(std::string_view directory, std::string_view name) {
  std::string path;
  if (directory.empty() || directory == "-") {
    path = name;
  } else {
    path.reserve(directory.size() + 1 + name.size());
    path.append(directory).append("/").append(name);
  }
  if (path.size() > kMaxPath) {
    throw Error("Path longer than " + std::to_string(kMaxPath) + " characters: " + path.substr(0, 64) + "...");
  }
  return path;
}

std::string imagePathFor(std::string_view directory, std::string_view name) {
  std::size_t componentStart = name.rfind('/') + 1;  // 0 when there is no '/'
  std::size_t dot = name.rfind('.');
  // A leading dot marks a hidden file, not an extension.
  if (dot == std::string_view::npos || dot <= componentStart) {
    throw Error("Object name " + std::string(name) + " has no extension to replace with tga");
  }
  std::string image(name.substr(0, dot + 1));
  image += "tga";
  return joinPath(directory, image);
}

}  // namespace tessarine::common
