// Stereo audio as the synthesiser makes it: two channels of 32-bit floats at one fixed
// sample rate, full scale at +-1.
#pragma once

#include <cstddef>
#include <vector>

namespace tessarine::synth {

inline constexpr int kSampleRate = 44100;

struct StereoBuffer {
  StereoBuffer() = default;
  explicit StereoBuffer(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

  std::size_t frames() const { return left.size(); }

  std::vector<float> left;
  std::vector<float> right;
};

}  // namespace tessarine::synth
