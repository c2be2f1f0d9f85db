// A reader's cursor over one chunk or sub-chunk of a LightWave object: typed big-endian reads
// that never pass the chunk's end, the sub-chunks inside it, and messages that name the file,
// the chunk and the byte. Private to the object readers.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tessarine::mesh {

// The id LWO3 gives the sub-chunk that holds a block's own fields (a surface's name, a clip's
// index), which LWO2 writes inline before the block's sub-chunks.
inline constexpr const char* kNamelessId = "    ";

class LwoChunk {
 public:
  // The bytes [begin, end) of `data`, which holds the whole file called `fileName`; both must
  // outlive the cursor. `path` names the chunk in messages ("SURF BLOK"); sub-chunks inside
  // have lengths of `subLengthSize` bytes (2 in LWOB and LWO2, 4 in LWO3's nested blocks).
  LwoChunk(const unsigned char* data, std::uint64_t begin, std::uint64_t end, const std::string& fileName,
           std::string path, unsigned subLengthSize, bool isForm = false);

  const std::string& path() const { return path_; }
  // The id this chunk was found under: for an LWO3 FORM, its type.
  const std::string& id() const { return id_; }
  // An LWO3 FORM: its own fields are in a nameless first sub-chunk.
  bool isForm() const { return isForm_; }
  std::uint64_t offset() const { return position_; }
  std::uint64_t remaining() const { return end_ - position_; }
  bool atEnd() const { return position_ == end_; }

  std::uint8_t u1();
  std::uint16_t u2();
  std::uint32_t u4();
  float f4();
  double f8();
  std::array<float, 3> vec12();
  std::string id4();
  // A NUL-terminated name padded to an even length.
  std::string s0();
  // A variable-length index: 2 bytes, or 4 when the first byte is 0xFF.
  std::uint32_t vx();
  void skip(std::uint64_t bytes);

  // The id of the next sub-chunk without reading it; "" when too few bytes remain.
  std::string peekId() const;
  // The next sub-chunk, its pad byte passed by; nothing at the end. A length that runs past
  // this chunk is refused. An LWO3 "FORM" sub-chunk comes back under its type.
  std::optional<LwoChunk> next();

  [[noreturn]] void fail(const std::string& problem) const { failAt(problem, position_); }
  [[noreturn]] void failAt(const std::string& problem, std::uint64_t at) const;

 private:
  const unsigned char* take(std::uint64_t bytes, const char* what);

  const unsigned char* data_;
  const std::string* fileName_;
  std::string path_;
  std::string id_;
  bool isForm_ = false;
  unsigned subLengthSize_;
  std::uint64_t position_;
  std::uint64_t end_;
};

// Reads a block's own fields with `read`: inline in LWO2, from LWO3's nameless first
// sub-chunk; when LWO3 gives none, the fields keep their defaults.
template <class Read>
void readFields(LwoChunk& block, Read&& read) {
  if (!block.isForm()) {
    read(block);
  } else if (block.peekId() == kNamelessId) {
    LwoChunk fields = *block.next();
    read(fields);
  }
}

// Refuses the object: the message names the file, the chunk's path and the byte.
[[noreturn]] void failInObject(const std::string& fileName, const std::string& path, std::uint64_t at,
                               const std::string& problem);

// Four bytes as an id, those that are no printable text shown as '?'.
std::string printableId(const unsigned char* bytes);

// What a reader passed by, counted by tag; a map keeps the count cheap however many tags.
using SkipCounts = std::map<std::string, std::uint32_t>;

}  // namespace tessarine::mesh
