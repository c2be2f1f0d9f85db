// The LightWave chunk cursor: every read is checked against the chunk's end before a byte is
// touched, so a short chunk is refused where it is short, and lengths cannot wrap.
#include "mesh/lwo_chunk.h"

#include <bit>
#include <cctype>
#include <utility>

#include "common/byte_order.h"
#include "common/error.h"

namespace tessarine::mesh {
namespace {

constexpr std::uint64_t kIdSize = 4;
constexpr std::uint32_t kLongIndexMarker = 0xFF;
constexpr std::uint32_t kLongIndexMask = 0x00FFFFFF;

}  // namespace

std::string printableId(const unsigned char* bytes) {
  std::string id;
  for (std::uint64_t i = 0; i < kIdSize; ++i) id.push_back(std::isprint(bytes[i]) ? static_cast<char>(bytes[i]) : '?');
  return id;
}

LwoChunk::LwoChunk(const unsigned char* data, std::uint64_t begin, std::uint64_t end, const std::string& fileName,
                   std::string path, unsigned subLengthSize, bool isForm)
    : data_(data),
      fileName_(&fileName),
      path_(std::move(path)),
      isForm_(isForm),
      subLengthSize_(subLengthSize),
      position_(begin),
      end_(end) {
  std::size_t space = path_.rfind(' ');
  id_ = space == std::string::npos ? path_ : path_.substr(space + 1);
}

const unsigned char* LwoChunk::take(std::uint64_t bytes, const char* what) {
  if (bytes > remaining()) {
    fail(std::string("the chunk ends inside ") + what + " (" + std::to_string(bytes) + " bytes wanted, " +
         std::to_string(remaining()) + " left)");
  }
  const unsigned char* at = data_ + position_;
  position_ += bytes;
  return at;
}

std::uint8_t LwoChunk::u1() { return *take(1, "a byte"); }
std::uint16_t LwoChunk::u2() { return common::loadU16BE(take(2, "a 2-byte number")); }
std::uint32_t LwoChunk::u4() { return common::loadU32BE(take(4, "a 4-byte number")); }
float LwoChunk::f4() { return common::loadF32BE(take(4, "a number")); }

double LwoChunk::f8() {
  const unsigned char* at = take(8, "a number");
  return std::bit_cast<double>(std::uint64_t{common::loadU32BE(at)} << 32 | common::loadU32BE(at + 4));
}

std::array<float, 3> LwoChunk::vec12() {
  const unsigned char* at = take(12, "a vector");
  return {common::loadF32BE(at), common::loadF32BE(at + 4), common::loadF32BE(at + 8)};
}

std::string LwoChunk::id4() { return printableId(take(kIdSize, "an id")); }

std::string LwoChunk::s0() {
  const unsigned char* begin = data_ + position_;
  std::uint64_t length = 0;
  while (length < remaining() && begin[length] != 0) ++length;
  if (length == remaining()) fail("a name runs past the end of its chunk");
  std::string text(reinterpret_cast<const char*>(begin), length);
  // The name and its NUL fill an even number of bytes; a last pad byte may be missing.
  position_ += length + 1;
  if ((length + 1) % 2 != 0 && !atEnd()) ++position_;
  return text;
}

std::uint32_t LwoChunk::vx() {
  if (remaining() > 0 && data_[position_] == kLongIndexMarker) return u4() & kLongIndexMask;
  return u2();
}

void LwoChunk::skip(std::uint64_t bytes) { take(bytes, "the bytes passed by"); }

std::string LwoChunk::peekId() const { return remaining() < kIdSize ? std::string() : printableId(data_ + position_); }

std::optional<LwoChunk> LwoChunk::next() {
  if (atEnd()) return std::nullopt;
  const std::uint64_t at = position_;
  if (remaining() < kIdSize + subLengthSize_) fail("the last sub-chunk's header runs past the end of its chunk");
  std::string id = id4();
  const std::uint64_t length = subLengthSize_ == 2 ? u2() : u4();
  if (length > remaining()) {
    failAt("sub-chunk " + id + " of " + std::to_string(length) + " bytes runs past the end of its chunk (" +
               std::to_string(remaining()) + " bytes left)",
           at);
  }
  const std::uint64_t body = position_;
  position_ += length;
  if (length % 2 != 0 && !atEnd()) ++position_;
  if (id == "FORM") {
    if (length < kIdSize) failAt("a FORM of " + std::to_string(length) + " bytes leaves no room for its type", at);
    return LwoChunk(data_, body + kIdSize, body + length, *fileName_, path_ + " " + printableId(data_ + body),
                    subLengthSize_, true);
  }
  return LwoChunk(data_, body, body + length, *fileName_, path_ + " " + id, subLengthSize_);
}

void LwoChunk::failAt(const std::string& problem, std::uint64_t at) const {
  failInObject(*fileName_, path_, at, problem);
}

void failInObject(const std::string& fileName, const std::string& path, std::uint64_t at, const std::string& problem) {
  throw common::Error(fileName + ": " + path + " at byte " + std::to_string(at) + ": " + problem,
                      fileName + ", byte " + std::to_string(at));
}

}  // namespace tessarine::mesh
