// White noise from a seeded generator, so the same source renders the same sound.
#pragma once

#include <cstdint>

namespace tessarine::synth {

class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed != 0 ? seed : kFallbackSeed) {}

  // Uniform from -1 to 1.
  float next() {
    // xorshift32: its state never becomes 0 from a non-zero start.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(static_cast<double>(state_) / kHalfRange - 1.0);
  }

 private:
  static constexpr std::uint32_t kFallbackSeed = 0x9e3779b9u;
  static constexpr double kHalfRange = 2147483648.0;

  std::uint32_t state_;
};

}  // namespace tessarine::synth
