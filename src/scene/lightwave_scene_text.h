// The text of a scene file as LightWave writes it, read as lines (a keyword and the rest)
// or as words across line ends, each with its line, and the refusal that names the file
// and the line of what was read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace tessarine::scene::lightwave {

// A line that holds more than blanks: its first word and the rest, both trimmed.
struct Line {
  std::string_view keyword;
  std::string_view rest;
  unsigned number = 0;
};

class SceneText {
 public:
  // `bytes` must outlive the SceneText; `fileName` stands for them in messages. A NUL byte
  // anywhere is refused here: no scene holds one, and names are kept as text.
  SceneText(std::span<const std::byte> bytes, std::string fileName);

  // The next line that holds anything but blanks, or nothing at the end. "\n", "\r\n" and
  // a lone "\r" (old Macintosh files) all end a line.
  std::optional<Line> nextLine();
  std::optional<Line> peekLine();
  // The next word, across line ends, or nothing at the end.
  std::optional<std::string_view> nextWord();
  std::string_view readWord(std::string_view what);

  std::uint64_t remaining() const { return text_.size() - position_; }
  const std::string& fileName() const { return fileName_; }
  // Line of the last line or word read.
  unsigned line() const { return line_; }

  [[noreturn]] void fail(const std::string& what) const { failAt(line_, what); }
  [[noreturn]] void failAt(unsigned line, const std::string& what) const;

 private:
  std::string_view text_;
  std::string fileName_;
  std::size_t position_ = 0;
  unsigned scanLine_ = 1;  // line at position_
  unsigned line_ = 1;
};

// The first word of `text` and the rest after it, trimmed.
std::pair<std::string_view, std::string_view> splitWord(std::string_view text);

// The words of a line's rest, one at a time.
class Words {
 public:
  explicit Words(std::string_view text) : rest_(text) {}
  std::optional<std::string_view> next() {
    auto [word, rest] = splitWord(rest_);
    rest_ = rest;
    if (word.empty()) return std::nullopt;
    return word;
  }
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

// A word as a message shows it: quoted, cut short and kept on one line.
std::string quoted(std::string_view word);

// Whole-word numbers; nothing for anything else, and for numbers that are not finite.
std::optional<double> parseNumber(std::string_view word);
std::optional<std::int64_t> parseInteger(std::string_view word);
std::optional<std::uint32_t> parseHex(std::string_view word);

// The same, refused with a message naming `what` at the text's current line.
double readNumber(const SceneText& text, std::string_view word, std::string_view what);
std::int64_t readInteger(const SceneText& text, std::string_view word, std::string_view what);
// A count or index: a whole number from 0 to `most`.
std::uint32_t readCount(const SceneText& text, std::string_view word, std::string_view what,
                        std::uint32_t most = UINT32_MAX);

}  // namespace tessarine::scene::lightwave
