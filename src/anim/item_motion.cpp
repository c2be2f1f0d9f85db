// Evaluation of either kind of item motion and setting envelope.
#include "anim/item_motion.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "common/error.h"

namespace tessarine::anim {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// The frame a LightWave 5 curve keyed from `first` to `last` is evaluated at for `frame`: past
// its last key, a repeating curve goes round its keyed span again.
float repeatedFrame(float frame, float first, float last, Behavior after) {
  if (after != Behavior::kRepeat || !(frame > last) || !(last > first)) return frame;
  return first + std::fmod(frame - first, last - first);
}

}  // namespace

ItemMotion::ItemMotion(std::vector<ChannelEnvelope> channels) : curves_(std::move(channels)) {
  const auto& held = std::get<std::vector<ChannelEnvelope>>(curves_);
  if (held.size() != kChannels) {
    throw common::Error("A motion of " + std::to_string(held.size()) + " channels, not " + std::to_string(kChannels));
  }
}

ChannelValues ItemMotion::valueAt(double seconds) const {
  if (const Motion* motion = keyedMotion()) {
    const float frame = frameAt(seconds, motion->framesPerSecond());
    const auto first = static_cast<float>(motion->keys().front().frame);
    const auto last = static_cast<float>(motion->lastFrame());
    if (after_ == Behavior::kReset && frame > last) return ChannelValues{};
    return motion->evaluate(repeatedFrame(frame, first, last, after_));
  }
  const auto& envelopes = *channels();
  ChannelValues values{};
  for (int i = 0; i < kChannels; ++i) {
    double value = envelopes[static_cast<std::size_t>(i)].valueAt(seconds);
    if (i >= kHeading && i <= kBank) value *= kDegreesPerRadian;
    values[static_cast<std::size_t>(i)] = static_cast<float>(value);
  }
  return values;
}

std::uint32_t ItemMotion::keyCount() const {
  if (const Motion* motion = keyedMotion()) return motion->keyCount();
  std::size_t most = 0;
  for (const ChannelEnvelope& channel : *channels()) most = std::max(most, channel.keys().size());
  return static_cast<std::uint32_t>(most);
}

float ValueEnvelope::valueAt(double seconds) const {
  if (const Envelope* envelope = keyedEnvelope()) {
    const float frame = frameAt(seconds, envelope->framesPerSecond());
    const auto first = static_cast<float>(envelope->keys().front().frame);
    const auto last = static_cast<float>(envelope->lastFrame());
    if (after_ == Behavior::kReset && frame > last) return 0;
    return envelope->evaluate(repeatedFrame(frame, first, last, after_));
  }
  return static_cast<float>(scale_ * std::get<ChannelEnvelope>(curve_).valueAt(seconds));
}

}  // namespace tessarine::anim
