// Keyed curves: the nine-channel motions of cameras, lights and objects, and the
// one-channel envelopes that stand in for a plain scene setting (fog distances, zoom,
// intensities, cone angles, camera shake). One type reads either section of a scene
// file and evaluates it as a Kochanek-Bartels spline.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <vector>

#include "common/data_file.h"

namespace tessarine::anim {

// A motion's channels, in file order: position x, y, z; heading, pitch, bank (degrees); scale x, y, z.
inline constexpr int kChannels = 9;
enum Channel { kPositionX, kPositionY, kPositionZ, kHeading, kPitch, kBank, kScaleX, kScaleY, kScaleZ };

using ChannelValues = std::array<float, kChannels>;

// The frame at a time in seconds, as every motion and envelope is asked for it.
inline float frameAt(double seconds, float framesPerSecond) {
  return static_cast<float>(seconds * framesPerSecond);
}

template <std::size_t kChannelCount>
struct Key {
  std::array<float, kChannelCount> values{};
  float tension = 0;
  float continuity = 0;
  float bias = 0;
  std::uint32_t linear = 0;  // nonzero: the span that ends at this key is a straight line
  std::uint32_t frame = 0;
};

template <std::size_t kChannelCount>
class KeyedCurve {
 public:
  // A motion gives its channel values; an envelope its one value as a plain number.
  using Value = std::conditional_t<kChannelCount == 1, float, std::array<float, kChannelCount>>;

  // Reads the section that follows a motion keyword, which opens with the word
  // "(unnamed)", or the word "(envelope)", which has no name word: then the channel
  // count, the key count, the keys, "EndBehavior" and its number. Throws common::Error.
  KeyedCurve(common::DataFile& file, float framesPerSecond);
  // Keys made in memory (tools, tests); validated as a read section is.
  KeyedCurve(std::vector<Key<kChannelCount>> keys, float framesPerSecond);

  Value evaluate(float frame) const;
  // The value at a time in seconds (frame = seconds x framesPerSecond).
  Value valueAt(double seconds) const { return evaluate(frameAt(seconds, framesPerSecond_)); }

  std::span<const Key<kChannelCount>> keys() const { return keys_; }
  std::uint32_t keyCount() const { return static_cast<std::uint32_t>(keys_.size()); }
  std::uint32_t lastFrame() const { return keys_.back().frame; }
  float framesPerSecond() const { return framesPerSecond_; }

 private:
  std::vector<Key<kChannelCount>> keys_;  // at least one, frames strictly ascending
  float framesPerSecond_;
};

using MotionKey = Key<kChannels>;
using EnvelopeKey = Key<1>;
using Motion = KeyedCurve<kChannels>;
using Envelope = KeyedCurve<1>;

extern template class KeyedCurve<kChannels>;
extern template class KeyedCurve<1>;

}  // namespace tessarine::anim
