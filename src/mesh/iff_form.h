// Walks the chunks of one IFF FORM held in memory: each chunk's id and body, the pad byte
// after an odd length, every length checked against the FORM's end, unknown chunks left to
// the caller to pass by. One walker for every IFF format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tessarine::mesh {

struct IffChunk {
  std::string id;            // four characters, those that are no printable text shown as '?'
  std::uint64_t offset = 0;  // of the body, from the start of the bytes
  std::uint32_t length = 0;  // of the body, without the pad byte
};

class IffForm {
 public:
  // The FORM at the start of `bytes`, which must outlive the IffForm; refused when the bytes
  // are no FORM or its length runs past their end. `name` stands for the bytes in messages.
  IffForm(std::span<const std::byte> bytes, std::string name);

  // The FORM's type ("ILBM", "LWO2").
  const std::string& type() const { return type_; }
  // The next chunk, or nothing after the last; a chunk that runs past the FORM is refused.
  std::optional<IffChunk> next();

 private:
  [[noreturn]] void fail(const std::string& problem, std::uint64_t offset) const;

  const unsigned char* data_;
  std::string name_;
  std::string type_;
  std::uint64_t position_ = 0;
  std::uint64_t end_ = 0;
};

}  // namespace tessarine::mesh
