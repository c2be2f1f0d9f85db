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

std::string imagePathFor(std::string_view objectPath) {
  constexpr std::size_t kExtension = 3;
  if (objectPath.size() < kExtension) {
    throw Error("Object path too short to name its image: " + std::string(objectPath));
  }
  std::string path(objectPath);
  path.replace(path.size() - kExtension, kExtension, "tga");
  return path;
}

}  // namespace tessarine::common
