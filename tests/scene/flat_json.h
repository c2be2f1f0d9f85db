// The inspection tool's JSON output flattened for tests: one entry per leaf keyed by its path
// ("scenes.0.camera.zoomFactor"), and the size of each array or object under "path.#".
#pragma once

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessarine::scene::testing {

class FlatJson {
 public:
  explicit FlatJson(std::string_view text) : text_(text) {
    read("", 0);
    if (skip() != '\0') throw std::runtime_error("JSON: text after the document");
  }
  const std::string& operator[](const std::string& path) const { return leaves_.at(path); }
  // The number at `path`, or the numbers of the array there.
  std::vector<float> numbers(const std::string& path) const {
    if (leaves_.contains(path)) return {std::stof(leaves_.at(path))};
    std::vector<float> out;
    for (int i = 0; i < std::stoi(leaves_.at(path + ".#")); ++i) out.push_back(numbers(path + "." + std::to_string(i))[0]);
    return out;
  }

 private:
  static constexpr int kMaxDepth = 64;

  char skip() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n')) ++at_;
    return at_ < text_.size() ? text_[at_] : '\0';
  }
  void expect(char c) {
    if (skip() != c) throw std::runtime_error(std::string("JSON: expected ") + c + " at " + std::to_string(at_));
    ++at_;
  }
  std::string string() {
    expect('"');
    std::string out;
    for (; at_ < text_.size() && text_[at_] != '"'; ++at_) {
      if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
      out += text_[at_];
    }
    expect('"');
    return out;
  }
  // `path` is the parent's path with a "." after it, or empty at the top.
  void read(const std::string& path, int depth) {
    char open = skip();
    if (depth > kMaxDepth || open == '\0') throw std::runtime_error("JSON: no value");
    std::string leaf = path.empty() ? "" : path.substr(0, path.size() - 1);
    if (open == '"') {
      leaves_[leaf] = string();
    } else if (open != '{' && open != '[') {
      std::size_t end = std::min(text_.find_first_of(",]} \n", at_), text_.size());
      leaves_[leaf] = std::string(text_.substr(at_, end - at_));
      at_ = end;
    } else {
      char close = open == '{' ? '}' : ']';
      std::size_t count = 0;
      ++at_;
      for (bool more = skip() != close; more; more = skip() == ',' && ++at_) {
        std::string key = std::to_string(count++);
        if (open == '{') key = string(), expect(':');
        read(path + key + ".", depth + 1);
      }
      expect(close);
      leaves_[path + "#"] = std::to_string(count);
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::map<std::string, std::string> leaves_;
};

}  // namespace tessarine::scene::testing
