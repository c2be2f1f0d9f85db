// Lines and words of a LightWave scene file, whole-word numbers, and refusals that name the
// file and the line.
#include "scene/lightwave_scene_text.h"

#include <charconv>
#include <cmath>

#include "common/error.h"

namespace tessarine::scene::lightwave {
namespace {

// Messages show at most this much of a word, so a huge token cannot make a huge message.
constexpr std::size_t kMaxQuoted = 40;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

SceneText::SceneText(std::span<const std::byte> bytes, std::string fileName)
    : text_(reinterpret_cast<const char*>(bytes.data()), bytes.size()), fileName_(std::move(fileName)) {
  const std::size_t nul = text_.find('\0');
  if (nul == std::string_view::npos) return;
  unsigned line = 1;
  for (std::size_t i = 0; i < nul; ++i) {
    // "\r\n" counts once, at its "\n".
    if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 == text_.size() || text_[i + 1] != '\n'))) ++line;
  }
  failAt(line, "a NUL byte, which no scene file holds");
}

std::optional<Line> SceneText::nextLine() {
  while (position_ < text_.size()) {
    const std::size_t start = position_;
    std::size_t end = start;
    while (end < text_.size() && !isLineEnd(text_[end])) ++end;
    const unsigned number = scanLine_;
    position_ = end;
    if (position_ < text_.size()) {
      if (text_[position_] == '\r' && position_ + 1 < text_.size() && text_[position_ + 1] == '\n') ++position_;
      ++position_;
      ++scanLine_;
    }
    const std::string_view content = trim(text_.substr(start, end - start));
    if (content.empty()) continue;
    line_ = number;
    auto [keyword, rest] = splitWord(content);
    return Line{keyword, rest, number};
  }
  return std::nullopt;
}

std::optional<Line> SceneText::peekLine() {
  const std::size_t position = position_;
  const unsigned scanLine = scanLine_;
  const unsigned line = line_;
  std::optional<Line> next = nextLine();
  position_ = position;
  scanLine_ = scanLine;
  line_ = line;
  return next;
}

std::optional<std::string_view> SceneText::nextWord() {
  while (position_ < text_.size() && (isBlank(text_[position_]) || isLineEnd(text_[position_]))) {
    const char c = text_[position_++];
    if (c == '\n' || (c == '\r' && (position_ == text_.size() || text_[position_] != '\n'))) ++scanLine_;
  }
  if (position_ == text_.size()) return std::nullopt;
  const std::size_t start = position_;
  while (position_ < text_.size() && !isBlank(text_[position_]) && !isLineEnd(text_[position_])) ++position_;
  line_ = scanLine_;
  return text_.substr(start, position_ - start);
}

std::string_view SceneText::readWord(std::string_view what) {
  std::optional<std::string_view> word = nextWord();
  if (!word) fail("the file ends where " + std::string(what) + " belongs");
  return *word;
}

void SceneText::failAt(unsigned line, const std::string& what) const {
  throw common::Error(fileName_ + ", line " + std::to_string(line) + ": " + what);
}

std::pair<std::string_view, std::string_view> splitWord(std::string_view text) {
  text = trim(text);
  std::size_t end = 0;
  while (end < text.size() && !isBlank(text[end])) ++end;
  return {text.substr(0, end), trim(text.substr(end))};
}

std::string quoted(std::string_view word) {
  std::string shown;
  for (char c : word.substr(0, kMaxQuoted)) shown.push_back(static_cast<unsigned char>(c) < 0x20 ? '?' : c);
  if (word.size() > kMaxQuoted) shown += "...";
  return "\"" + shown + "\"";
}

std::optional<double> parseNumber(std::string_view word) {
  double value = 0;
  const char* end = word.data() + word.size();
  auto [stop, error] = std::from_chars(word.data(), end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int64_t> parseInteger(std::string_view word) {
  std::int64_t value = 0;
  const char* end = word.data() + word.size();
  auto [stop, error] = std::from_chars(word.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::optional<std::uint32_t> parseHex(std::string_view word) {
  std::uint32_t value = 0;
  const char* end = word.data() + word.size();
  auto [stop, error] = std::from_chars(word.data(), end, value, 16);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

double readNumber(const SceneText& text, std::string_view word, std::string_view what) {
  std::optional<double> value = parseNumber(word);
  if (!value) text.fail(std::string(what) + " needs a number, found " + quoted(word));
  return *value;
}

std::int64_t readInteger(const SceneText& text, std::string_view word, std::string_view what) {
  std::optional<std::int64_t> value = parseInteger(word);
  if (!value) text.fail(std::string(what) + " needs a whole number, found " + quoted(word));
  return *value;
}

std::uint32_t readCount(const SceneText& text, std::string_view word, std::string_view what, std::uint32_t most) {
  std::optional<std::int64_t> value = parseInteger(word);
  if (!value || *value < 0 || *value > static_cast<std::int64_t>(most)) {
    text.fail(std::string(what) + " needs a whole number from 0 to " + std::to_string(most) + ", found " +
              quoted(word));
  }
  return static_cast<std::uint32_t>(*value);
}

}  // namespace tessarine::scene::lightwave
