// A reader's view of one data file: a C stream opened with a mode string, token reads for
// the text formats and exact block reads for the binary ones. Nothing read is trusted:
// tokens are bounded, numbers are checked whole, and a short read is an error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "common/file_identity.h"

namespace tessarine::common {

class DataFile {
 public:
  // The longest token the scene format holds.
  static constexpr std::size_t kMaxToken = 127;

  // Throws Error("I can't open file <path> as <mode>") when the file cannot be opened
  // or is not a regular file; its place names the path and the system's reason.
  DataFile(std::string path, const char* mode);
  // Closes without raising: a failure already on its way out must not be replaced.
  ~DataFile();
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  // Throws Error("I can't close file") when the close fails. Closing twice is harmless.
  void close();

  const std::string& path() const { return path_; }
  // Size of the file when it was opened, and how much of it is left unread.
  std::uint64_t size() const { return size_; }
  std::uint64_t position() const { return position_; }
  std::uint64_t remaining() const { return size_ > position_ ? size_ - position_ : 0; }
  const FileIdentity& identity() const { return identity_; }

  // --- Text: tokens separated by white space. ---

  // The next token, or nothing at the end of the file. A token longer than kMaxToken,
  // or one holding a NUL byte, is refused.
  std::optional<std::string> nextToken();
  // The next token; the end of the file is refused with a message naming `what`.
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

  std::string path_;
  std::FILE* stream_ = nullptr;
  std::uint64_t size_ = 0;
  std::uint64_t position_ = 0;
  FileIdentity identity_;
  std::optional<std::string> lastToken_;
  unsigned line_ = 1;
  unsigned scanLine_ = 1;
};

// The number a token begins with, as the C "%f" conversion reads it; nothing when the
// token does not begin with a number or the number is not finite.
std::optional<float> leadingFloat(const std::string& token);

}  // namespace tessarine::common
