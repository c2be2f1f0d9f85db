// A reader's view of one data file's bytes in memory, under a name that messages give
// them: token reads for the text formats and exact block reads for the binary ones.
// Nothing read is trusted: tokens are bounded, numbers are checked whole, and a short
// read is an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessarine::common {

// Text held in a string, seen as the bytes a reader takes.
inline std::span<const std::byte> bytesOf(std::string_view text) {
  return std::as_bytes(std::span<const char>(text.data(), text.size()));
}

class DataFile {
 public:
  // The longest token the scene format holds.
  static constexpr std::size_t kMaxToken = 127;

  // Reads `bytes`, which must outlive the DataFile; `name` stands for them in messages.
  DataFile(std::span<const std::byte> bytes, std::string name);
  // Reads the whole file at `path` first (readFileBytes, with its refusals), and keeps
  // the bytes; messages name the path.
  DataFile(std::string path, const char* mode);
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  const std::string& name() const { return name_; }
  std::uint64_t size() const { return bytes_.size(); }
  std::uint64_t position() const { return position_; }
  std::uint64_t remaining() const { return size() - position_; }

  // --- Text: tokens separated by white space. ---

  // The next token, or nothing at the end. A token longer than kMaxToken, or one holding
  // a NUL byte, is refused.
  std::optional<std::string> nextToken();
  // The next token; the end is refused with a message naming `what`.
  std::string readToken(std::string_view what);
  // A whole token that is an unsigned decimal number that fits 32 bits.
  std::uint32_t readUnsigned(std::string_view what);
  // A whole token that is a finite decimal number.
  float readFloat(std::string_view what);
  // Line of the last token read, counted from 1.
  unsigned line() const { return line_; }

  // An error message naming this file and the line of the last token.
  std::string where() const;
  // An Error's place in a text file: the file, the line and the last token read.
  std::string textPlace() const;
  // An Error's place in a binary file: the file, a byte offset and what was found there.
  std::string bytePlace(std::uint64_t offset, std::string_view found) const;
  std::string bytePlace() const;

  // --- Binary: exact reads. ---

  void read(void* destination, std::size_t size);
  void skip(std::uint64_t size);
  std::uint8_t readU8();
  std::uint16_t readU16BE();
  std::uint32_t readU32BE();
  std::uint16_t readU16LE();

 private:
  [[noreturn]] void failShortRead() const;
  // The next byte, or nothing at the end; counts it as read.
  std::optional<unsigned char> nextByte();

  std::vector<std::byte> owned_;  // the file's bytes, when it was read from a path
  std::span<const std::byte> bytes_;
  std::string name_;
  std::uint64_t position_ = 0;
  std::optional<std::string> lastToken_;
  unsigned line_ = 1;
  unsigned scanLine_ = 1;
};

// The number a token begins with, as the C "%f" conversion reads it; nothing when the
// token does not begin with a number or the number is not finite.
std::optional<float> leadingFloat(const std::string& token);

}  // namespace tessarine::common
