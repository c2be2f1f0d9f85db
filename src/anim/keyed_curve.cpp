// The motion and envelope section reader, the checks every key list passes, and
// evaluation, made for motions (nine channels) and envelopes (one).
#include "anim/keyed_curve.h"

#include <string>
#include <string_view>

#include "anim/kochanek_bartels.h"
#include "common/error.h"

namespace tessarine::anim {
namespace {

// The words that tell the two sections apart, in the file and in messages.
struct SectionWords {
  std::string_view name;
  const char* value;  // what a key's channel value is called when it is no number
  bool named;         // the section opens with the word "(unnamed)"
};

template <std::size_t kChannelCount>
constexpr SectionWords kWords = kChannelCount == 1 ? SectionWords{"Envelope", "envelope value", false}
                                                   : SectionWords{"Motion", "channel value", true};

// A key is its channel values, frame, linear flag, tension, continuity and bias, each a
// token at least one character and one separator long; a key count the rest of the
// file cannot hold is refused before the keys are allocated.
template <std::size_t kChannelCount>
constexpr std::uint64_t kMinKeyBytes = (kChannelCount + 5) * 2;

[[noreturn]] void failKeyOrder(std::uint32_t frame, std::uint32_t previousFrame, const std::string& where) {
  throw common::Error("Key at frame " + std::to_string(frame) + " does not come after the key at frame " +
                      std::to_string(previousFrame) + where);
}

std::uint32_t readKeyCount(common::DataFile& file, std::string_view section, std::uint64_t minKeyBytes) {
  std::uint32_t count = file.readUnsigned("key count");
  if (count == 0) throw common::Error(std::string(section) + " section without keys in " + file.where());
  if (count > file.remaining() / minKeyBytes) {
    throw common::Error("Key count " + std::to_string(count) + " in " + file.where() +
                        " is more than the rest of the file can hold");
  }
  return count;
}

}  // namespace

template <std::size_t kChannelCount>
KeyedCurve<kChannelCount>::KeyedCurve(common::DataFile& file, float framesPerSecond)
    : framesPerSecond_(framesPerSecond) {
  constexpr SectionWords words = kWords<kChannelCount>;
  if (words.named && file.readToken("\"(unnamed)\"") != "(unnamed)") throw common::Error("Not (unnamed)");
  if (file.readUnsigned("channel count") != kChannelCount) {
    throw common::Error("Not " + std::string(words.name) + " Section");
  }
  const std::uint32_t keyCount = readKeyCount(file, words.name, kMinKeyBytes<kChannelCount>);
  keys_.resize(keyCount);
  for (std::uint32_t i = 0; i < keyCount; ++i) {
    Key<kChannelCount>& key = keys_[i];
    for (float& value : key.values) value = file.readFloat(words.value);
    key.frame = file.readUnsigned("key frame");
    // Checked at once, so the message names the line of the offending frame.
    if (i > 0 && key.frame <= keys_[i - 1].frame) failKeyOrder(key.frame, keys_[i - 1].frame, " in " + file.where());
    key.linear = file.readUnsigned("linear flag");
    key.tension = file.readFloat("tension");
    key.continuity = file.readFloat("continuity");
    key.bias = file.readFloat("bias");
  }
  if (file.readToken("\"EndBehavior\"") != "EndBehavior") throw common::Error("Not EndBehavior");
  // What happens beyond the last key is not up to the file: evaluation holds the last key.
  file.readUnsigned("end behaviour");
}

// Evaluation relies on at least one key and strictly ascending frames.
template <std::size_t kChannelCount>
KeyedCurve<kChannelCount>::KeyedCurve(std::vector<Key<kChannelCount>> keys, float framesPerSecond)
    : keys_(std::move(keys)), framesPerSecond_(framesPerSecond) {
  if (keys_.empty()) throw common::Error(std::string(kWords<kChannelCount>.name) + " without keys");
  for (std::size_t i = 1; i < keys_.size(); ++i) {
    if (keys_[i].frame <= keys_[i - 1].frame) failKeyOrder(keys_[i].frame, keys_[i - 1].frame, "");
  }
}

template <std::size_t kChannelCount>
typename KeyedCurve<kChannelCount>::Value KeyedCurve<kChannelCount>::evaluate(float frame) const {
  if constexpr (kChannelCount == 1) {
    return detail::interpolate<1>(keys_, frame)[0];
  } else {
    return detail::interpolate<kChannelCount>(keys_, frame);
  }
}

template class KeyedCurve<kChannels>;
template class KeyedCurve<1>;

}  // namespace tessarine::anim
