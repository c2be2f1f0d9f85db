// The IFF chunk walker: lengths are big-endian, bodies of odd length are followed by a pad
// byte, and no length is trusted past the end of the FORM that holds it.
#include "mesh/iff_form.h"

#include <cctype>

#include "common/byte_order.h"
#include "common/error.h"

namespace tessarine::mesh {
namespace {

constexpr std::uint64_t kIdSize = 4;
constexpr std::uint64_t kChunkHeaderSize = 8;
constexpr std::uint64_t kFormHeaderSize = 12;

std::string idText(const unsigned char* p) {
  std::string id;
  for (std::uint64_t i = 0; i < kIdSize; ++i) id.push_back(std::isprint(p[i]) ? static_cast<char>(p[i]) : '?');
  return id;
}

}  // namespace

IffForm::IffForm(std::span<const std::byte> bytes, std::string name)
    : data_(reinterpret_cast<const unsigned char*>(bytes.data())), name_(std::move(name)), type_("IFF") {
  const std::uint64_t size = bytes.size();
  if (size < kFormHeaderSize || idText(data_) != "FORM") fail("the file holds no FORM", 0);
  type_ = idText(data_ + kChunkHeaderSize);
  const std::uint64_t length = common::loadU32BE(data_ + kIdSize);
  if (length < kIdSize) fail("a length of " + std::to_string(length) + " leaves no room for the type", kIdSize);
  if (length > size - kChunkHeaderSize) {
    fail("its length of " + std::to_string(length) + " runs past the end of the file (" +
             std::to_string(size - kChunkHeaderSize) + " bytes there)",
         kIdSize);
  }
  position_ = kFormHeaderSize;
  end_ = kChunkHeaderSize + length;
}

std::optional<IffChunk> IffForm::next() {
  if (position_ == end_) return std::nullopt;
  if (end_ - position_ < kChunkHeaderSize) fail("the last chunk's header runs past the end of the FORM", position_);
  IffChunk chunk{idText(data_ + position_), position_ + kChunkHeaderSize,
                 common::loadU32BE(data_ + position_ + kIdSize)};
  if (chunk.length > end_ - chunk.offset) {
    fail("chunk " + chunk.id + " of " + std::to_string(chunk.length) + " bytes runs past the end of the FORM (" +
             std::to_string(end_ - chunk.offset) + " bytes left)",
         position_ + kIdSize);
  }
  position_ = chunk.offset + chunk.length;
  // Writers that end the FORM on an odd chunk sometimes leave its pad byte out.
  if (chunk.length % 2 != 0 && position_ < end_) ++position_;
  return chunk;
}

void IffForm::fail(const std::string& problem, std::uint64_t offset) const {
  throw common::Error(name_ + ": " + type_ + " FORM: " + problem, name_ + ", byte " + std::to_string(offset));
}

}  // namespace tessarine::mesh
