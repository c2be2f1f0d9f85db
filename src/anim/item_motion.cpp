// Evaluation of either kind of item motion and setting envelope.
#include "anim/item_motion.h"

#include <algorithm>
#include <numbers>
#include <string>

#include "common/error.h"

namespace tessarine::anim {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

}  // namespace

ItemMotion::ItemMotion(std::vector<ChannelEnvelope> channels) : curves_(std::move(channels)) {
  const auto& held = std::get<std::vector<ChannelEnvelope>>(curves_);
  if (held.size() != kChannels) {
    throw common::Error("A motion of " + std::to_string(held.size()) + " channels, not " + std::to_string(kChannels));
  }
}

ChannelValues ItemMotion::valueAt(double seconds) const {
  if (const Motion* motion = keyedMotion()) return motion->valueAt(seconds);
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
  if (const Envelope* envelope = keyedEnvelope()) return envelope->valueAt(seconds);
  return static_cast<float>(scale_ * std::get<ChannelEnvelope>(curve_).valueAt(seconds));
}

}  // namespace tessarine::anim
