// A small JSON reader for checking the inspection tool's output in tests.
#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessarine::scene::testing {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue, std::less<>> members;

  bool isNull() const { return kind == Kind::kNull; }
  const JsonValue& operator[](std::size_t index) const { return items.at(index); }
  const JsonValue& operator[](std::string_view key) const {
    auto found = members.find(key);
    if (found == members.end()) throw std::out_of_range("no member " + std::string(key));
    return found->second;
  }
  std::size_t size() const { return kind == Kind::kArray ? items.size() : members.size(); }
  float asFloat() const { return static_cast<float>(number); }
};

class JsonParser {
 public:
  explicit JsonParser(std::string_view text) : text_(text) {}

  // The whole text as one value; throws std::runtime_error on anything else.
  JsonValue parseDocument() {
    JsonValue value = parseValue(0);
    skipSpace();
    if (at_ != text_.size()) fail("text after the document");
    return value;
  }

 private:
  static constexpr int kMaxDepth = 64;

  [[noreturn]] void fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(at_));
  }
  void skipSpace() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\t' || text_[at_] == '\r')) {
      ++at_;
    }
  }
  bool consume(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  void expect(char c) {
    skipSpace();
    if (at_ >= text_.size() || text_[at_] != c) fail(std::string("expected '") + c + "'");
    ++at_;
  }
  std::string parseString() {
    expect('"');
    std::string out;
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      if (c == '\\') {
        if (at_ >= text_.size()) fail("cut escape");
        char e = text_[at_++];
        switch (e) {
          case 'n': out += '\n'; break;
          case 't': out += '\t'; break;
          case 'r': out += '\r'; break;
          case 'u': {
            if (at_ + 4 > text_.size()) fail("cut escape");
            out += static_cast<char>(std::strtol(std::string(text_.substr(at_, 4)).c_str(), nullptr, 16));
            at_ += 4;
            break;
          }
          default: out += e;
        }
      } else {
        out += c;
      }
    }
    expect('"');
    return out;
  }
  JsonValue parseValue(int depth) {
    if (depth > kMaxDepth) fail("too deep");
    skipSpace();
    if (at_ >= text_.size()) fail("no value");
    JsonValue value;
    char c = text_[at_];
    if (c == '{') {
      value.kind = JsonValue::Kind::kObject;
      ++at_;
      skipSpace();
      if (consume("}")) return value;
      do {
        std::string key = parseString();
        expect(':');
        value.members[key] = parseValue(depth + 1);
        skipSpace();
      } while (consume(","));
      expect('}');
    } else if (c == '[') {
      value.kind = JsonValue::Kind::kArray;
      ++at_;
      skipSpace();
      if (consume("]")) return value;
      do {
        value.items.push_back(parseValue(depth + 1));
        skipSpace();
      } while (consume(","));
      expect(']');
    } else if (c == '"') {
      value.kind = JsonValue::Kind::kString;
      value.text = parseString();
    } else if (consume("null")) {
      value.kind = JsonValue::Kind::kNull;
    } else if (consume("true")) {
      value.kind = JsonValue::Kind::kBool;
      value.boolean = true;
    } else if (consume("false")) {
      value.kind = JsonValue::Kind::kBool;
    } else {
      std::string rest(text_.substr(at_, 64));
      char* end = nullptr;
      value.kind = JsonValue::Kind::kNumber;
      value.number = std::strtod(rest.c_str(), &end);
      if (end == rest.c_str()) fail("no number");
      at_ += static_cast<std::size_t>(end - rest.c_str());
    }
    return value;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace tessarine::scene::testing
