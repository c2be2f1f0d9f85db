// Keyed nine-channel motions of cameras, lights and objects: the reader of a motion
// section of a scene file and Kochanek-Bartels evaluation of the nine channels.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "common/data_file.h"

namespace tessarine::anim {

// Channels, in file order: position x, y, z; heading, pitch, bank (degrees); scale x, y, z.
inline constexpr int kChannels = 9;
enum Channel { kPositionX, kPositionY, kPositionZ, kHeading, kPitch, kBank, kScaleX, kScaleY, kScaleZ };

using ChannelValues = std::array<float, kChannels>;

// The frame at a time in seconds, as every motion and envelope is asked for it.
inline float frameAt(double seconds, float framesPerSecond) {
  return static_cast<float>(seconds * framesPerSecond);
}

struct MotionKey {
  ChannelValues values{};
  float tension = 0;
  float continuity = 0;
  float bias = 0;
  std::uint32_t linear = 0;  // nonzero: the span that ends at this key is a straight line
  std::uint32_t frame = 0;
};

class Motion {
 public:
  // Reads the section that follows a motion keyword: "(unnamed)", the channel count 9,
  // the key count, the keys, "EndBehavior" and its number. Throws common::Error.
  Motion(common::DataFile& file, float framesPerSecond);
  // Keys made in memory (tools, tests); validated as a read section is.
  Motion(std::vector<MotionKey> keys, float framesPerSecond);

  // The channel values at `frame`.
  ChannelValues evaluate(float frame) const;
  // The channel values at a time in seconds (frame = seconds x framesPerSecond).
  ChannelValues valueAt(double seconds) const { return evaluate(frameAt(seconds, framesPerSecond_)); }

  std::span<const MotionKey> keys() const { return keys_; }
  std::uint32_t keyCount() const { return static_cast<std::uint32_t>(keys_.size()); }
  std::uint32_t lastFrame() const { return keys_.back().frame; }
  float framesPerSecond() const { return framesPerSecond_; }

 private:
  std::vector<MotionKey> keys_;  // at least one, frames strictly ascending
  float framesPerSecond_;
};

}  // namespace tessarine::anim
