// Token, colour, value-slot and parent-number reading shared by the scene file's handlers.
#include "scene/reader_support.h"

#include <limits>

#include "common/error.h"

namespace tessarine::scene::detail {

bool readInto(common::DataFile& file, std::string& buffer) {
  std::optional<std::string> token = file.nextToken();
  if (!token) return false;
  buffer = std::move(*token);
  return true;
}

Color3 readColor(common::DataFile& file, std::string_view what) {
  Color3 color{};
  for (float& component : color) {
    component = static_cast<float>(file.readUnsigned(what)) * kColorScale;
  }
  return color;
}

void requireFrameRate(float framesPerSecond, const common::DataFile& file) {
  if (!(framesPerSecond > 0)) {
    throw common::Error("FramesPerSecond must come before the first motion or envelope in " + file.where());
  }
}

std::optional<float> readValueOrEnvelope(common::DataFile& file, std::string& buffer, float framesPerSecond,
                                         std::string_view keyword, std::unique_ptr<anim::ValueEnvelope>& envelope) {
  buffer = file.readToken(std::string(keyword) + " value");
  if (buffer == kEnvelopeWord) {
    requireFrameRate(framesPerSecond, file);
    envelope = std::make_unique<anim::ValueEnvelope>(anim::Envelope(file, framesPerSecond));
    return std::nullopt;
  }
  return common::leadingFloat(buffer);
}

std::int32_t readParentIndex(common::DataFile& file) {
  std::uint32_t index = file.readUnsigned("ParentObject number");
  if (index > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
    throw common::Error("ParentObject " + std::to_string(index) + " names no object in " + file.where());
  }
  return static_cast<std::int32_t>(index);
}

void failMissingValue(std::string_view keyword, const std::string& token, const common::DataFile& file) {
  throw common::Error(std::string(keyword) + " needs a number or an envelope, found \"" + token + "\" in " +
                      file.where());
}

}  // namespace tessarine::scene::detail
