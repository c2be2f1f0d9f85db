// The motion section reader and the evaluation of a motion's nine channels.
#include "anim/motion.h"

#include "anim/key_reader.h"
#include "anim/kochanek_bartels.h"
#include "common/error.h"

namespace tessarine::anim {
namespace {

// A key is 14 tokens, each at least one character and one separator long; a count
// the rest of the file cannot hold is refused before the keys are allocated.
constexpr std::uint64_t kMinMotionKeyBytes = 14 * 2;
constexpr std::uint32_t kMotionChannelCount = kChannels;

}  // namespace

Motion::Motion(common::DataFile& file, float framesPerSecond) : framesPerSecond_(framesPerSecond) {
  if (file.readToken("\"(unnamed)\"") != "(unnamed)") throw common::Error("Not (unnamed)");
  if (file.readUnsigned("channel count") != kMotionChannelCount) throw common::Error("Not Motion Section");
  std::uint32_t keyCount = detail::readKeyCount(file, "Motion", kMinMotionKeyBytes);
  keys_.resize(keyCount);
  for (std::uint32_t i = 0; i < keyCount; ++i) {
    MotionKey& key = keys_[i];
    for (float& value : key.values) value = file.readFloat("channel value");
    detail::readKeyTail(file, key, i > 0 ? &keys_[i - 1] : nullptr);
  }
  detail::readEndBehavior(file);
}

Motion::Motion(std::vector<MotionKey> keys, float framesPerSecond)
    : keys_(std::move(keys)), framesPerSecond_(framesPerSecond) {
  detail::checkKeys<MotionKey>(keys_, "Motion");
}

ChannelValues Motion::evaluate(float frame) const {
  ChannelValues values;
  detail::interpolate<kChannels, MotionKey>(keys_, frame, values.data());
  return values;
}

}  // namespace tessarine::anim
