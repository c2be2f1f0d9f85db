// The envelope section reader and the evaluation of an envelope's one channel.
#include "anim/envelope.h"

#include "anim/key_reader.h"
#include "anim/kochanek_bartels.h"
#include "anim/motion.h"
#include "common/error.h"

namespace tessarine::anim {
namespace {

// A key is 6 tokens, each at least one character and one separator long.
constexpr std::uint64_t kMinEnvelopeKeyBytes = 6 * 2;
constexpr std::uint32_t kEnvelopeChannelCount = 1;

}  // namespace

Envelope::Envelope(common::DataFile& file, float framesPerSecond) : framesPerSecond_(framesPerSecond) {
  // Unlike a motion section, an envelope section has no name word: the channel count comes first.
  if (file.readUnsigned("channel count") != kEnvelopeChannelCount) throw common::Error("Not Envelope Section");
  std::uint32_t keyCount = detail::readKeyCount(file, "Envelope", kMinEnvelopeKeyBytes);
  keys_.resize(keyCount);
  for (std::uint32_t i = 0; i < keyCount; ++i) {
    EnvelopeKey& key = keys_[i];
    key.value = file.readFloat("envelope value");
    detail::readKeyTail(file, key, i > 0 ? &keys_[i - 1] : nullptr);
  }
  detail::readEndBehavior(file);
}

Envelope::Envelope(std::vector<EnvelopeKey> keys, float framesPerSecond)
    : keys_(std::move(keys)), framesPerSecond_(framesPerSecond) {
  detail::checkKeys<EnvelopeKey>(keys_, "Envelope");
}

float Envelope::evaluate(float frame) const {
  float value = 0;
  detail::interpolate<1, EnvelopeKey>(keys_, frame, &value);
  return value;
}

float Envelope::valueAt(double seconds) const { return evaluate(frameAt(seconds, framesPerSecond_)); }

}  // namespace tessarine::anim
