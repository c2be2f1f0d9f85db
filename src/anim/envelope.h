// Keyed single channels that stand in for a plain scene setting (fog distances, zoom,
// intensities, cone angles, camera shake).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "common/data_file.h"

namespace tessarine::anim {

struct EnvelopeKey {
  float value = 0;
  float tension = 0;
  float continuity = 0;
  float bias = 0;
  std::uint32_t linear = 0;
  std::uint32_t frame = 0;
};

class Envelope {
 public:
  // Reads the section that follows the word "(envelope)": the channel count 1, the key
  // count, the keys, "EndBehavior" and its number. Throws common::Error.
  Envelope(common::DataFile& file, float framesPerSecond);
  Envelope(std::vector<EnvelopeKey> keys, float framesPerSecond);

  float evaluate(float frame) const;
  // The value at a time in seconds.
  float valueAt(double seconds) const;

  std::span<const EnvelopeKey> keys() const { return keys_; }
  std::uint32_t keyCount() const { return static_cast<std::uint32_t>(keys_.size()); }
  std::uint32_t lastFrame() const { return keys_.back().frame; }
  float framesPerSecond() const { return framesPerSecond_; }

 private:
  std::vector<EnvelopeKey> keys_;  // at least one, frames strictly ascending
  float framesPerSecond_;
};

}  // namespace tessarine::anim
