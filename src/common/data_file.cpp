// The data file's token and block reads: tokens bounded and counted by line, numbers
// taken only when the whole token is one, and a short read refused, never zero-filled.
#include "common/data_file.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <utility>

#include "common/byte_order.h"
#include "common/error.h"
#include "common/file_bytes.h"

namespace tessarine::common {

DataFile::DataFile(std::span<const std::byte> bytes, std::string name) : bytes_(bytes), name_(std::move(name)) {}

DataFile::DataFile(std::string path, const char* mode)
    : owned_(readFileBytes(path, mode).bytes), bytes_(owned_), name_(std::move(path)) {}

std::string DataFile::where() const { return name_ + " at line " + std::to_string(line_); }

std::string DataFile::textPlace() const {
  return name_ + ", line " + std::to_string(line_) + ": " +
         (lastToken_ ? "found \"" + *lastToken_ + "\"" : std::string("found the end of the file"));
}

std::string DataFile::bytePlace(std::uint64_t offset, std::string_view found) const {
  // Bytes that are no printable text are shown by their value, so the place stays one line.
  std::string shown;
  for (unsigned char c : found) {
    if (std::isprint(c) && c != '"' && c != '\\') {
      shown.push_back(static_cast<char>(c));
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      shown += escaped;
    }
  }
  return name_ + ", byte " + std::to_string(offset) + ": found \"" + shown + "\"";
}

std::string DataFile::bytePlace() const { return name_ + ", byte " + std::to_string(position_); }

std::optional<unsigned char> DataFile::nextByte() {
  if (position_ == bytes_.size()) return std::nullopt;
  return static_cast<unsigned char>(bytes_[position_++]);
}

std::optional<std::string> DataFile::nextToken() {
  std::optional<unsigned char> c;
  while ((c = nextByte())) {
    if (*c == '\n') ++scanLine_;
    if (!std::isspace(*c)) break;
  }
  if (!c) {
    lastToken_.reset();
    return std::nullopt;
  }
  line_ = scanLine_;
  std::string token;
  do {
    if (*c == '\0') throw Error("Unexpected NUL byte in " + where());
    if (token.size() == kMaxToken) {
      throw Error("Token longer than " + std::to_string(kMaxToken) + " characters in " + where());
    }
    token.push_back(static_cast<char>(*c));
    c = nextByte();
  } while (c && !std::isspace(*c));
  if (c == '\n') ++scanLine_;
  lastToken_ = token;
  return token;
}

std::string DataFile::readToken(std::string_view what) {
  std::optional<std::string> token = nextToken();
  if (!token) throw Error("Unexpected end of file in " + name_ + ": expected " + std::string(what));
  return std::move(*token);
}

std::uint32_t DataFile::readUnsigned(std::string_view what) {
  std::string token = readToken(what);
  std::uint64_t value = 0;
  bool valid = !token.empty();
  for (char c : token) {
    if (c < '0' || c > '9') {
      valid = false;
      break;
    }
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > UINT32_MAX) {
      throw Error("Number " + token + " out of range for " + std::string(what) + " in " + where());
    }
  }
  if (!valid) {
    throw Error("Expected " + std::string(what) + " (an unsigned number), found \"" + token + "\" in " + where());
  }
  return static_cast<std::uint32_t>(value);
}

float DataFile::readFloat(std::string_view what) {
  std::string token = readToken(what);
  char* end = nullptr;
  errno = 0;
  float value = std::strtof(token.c_str(), &end);
  if (end != token.c_str() + token.size() || token.empty() || !std::isfinite(value)) {
    throw Error("Expected " + std::string(what) + " (a number), found \"" + token + "\" in " + where());
  }
  return value;
}

void DataFile::failShortRead() const {
  throw Error("Unexpected end of file in " + name_ + " at byte " + std::to_string(position_));
}

void DataFile::read(void* destination, std::size_t size) {
  if (size > remaining()) {
    // What there was is taken, as a stream would: the end is where the fault lies.
    position_ = bytes_.size();
    failShortRead();
  }
  if (size == 0) return;
  std::memcpy(destination, bytes_.data() + position_, size);
  position_ += size;
}

void DataFile::skip(std::uint64_t size) {
  if (size > remaining()) failShortRead();
  position_ += size;
}

std::uint8_t DataFile::readU8() {
  unsigned char b[1];
  read(b, sizeof b);
  return b[0];
}

std::uint16_t DataFile::readU16BE() {
  unsigned char b[2];
  read(b, sizeof b);
  return loadU16BE(b);
}

std::uint32_t DataFile::readU32BE() {
  unsigned char b[4];
  read(b, sizeof b);
  return loadU32BE(b);
}

std::uint16_t DataFile::readU16LE() {
  unsigned char b[2];
  read(b, sizeof b);
  return loadU16LE(b);
}

std::optional<float> leadingFloat(const std::string& token) {
  char* end = nullptr;
  float value = std::strtof(token.c_str(), &end);
  // "nan", "inf" and overflowing numbers read as numbers in C, but no setting can use
  // them: they would reach the projection and the lights as undefined values.
  if (end == token.c_str() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace tessarine::common
