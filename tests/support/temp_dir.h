// A directory of its own for one test, removed with everything in it when the test ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>

namespace tessarine::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessarine-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

  // `message` with "{path}" standing for `path` and "{dir}" for the directory: expected
  // messages name files whose place is known only at run time.
  std::string expand(std::string message, const std::string& path = "") const {
    for (auto [mark, value] : {std::pair<std::string, std::string>{"{path}", path}, {"{dir}", str()}}) {
      for (auto at = message.find(mark); at != std::string::npos; at = message.find(mark, at + value.size())) {
        message.replace(at, mark.size(), value);
      }
    }
    return message;
  }

  // Writes `bytes` to `name` below the directory and returns the full path.
  std::string write(const std::string& name, std::string_view bytes) const {
    std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tessarine::testing
