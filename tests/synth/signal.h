// Measures for checking signals by what they sound like: the synthesiser's, and the
// player's decoded music.
#pragma once

#include <cmath>
#include <complex>
#include <cstddef>
#include <numbers>
#include <vector>

#include "synth/audio_buffer.h"

namespace tessarine::synth::testing {

// Amplitude of the `hertz` component of samples [first, first + count) by the Goertzel
// recurrence; exact for a sine whose whole cycles fill the span.
inline double amplitudeAt(const std::vector<float>& samples, double hertz, std::size_t first, std::size_t count,
                          double sampleRate = kSampleRate) {
  double w = 2.0 * std::numbers::pi * hertz / sampleRate, s1 = 0.0, s2 = 0.0;
  for (std::size_t i = first; i < first + count; ++i) {
    double s0 = samples[i] + 2.0 * std::cos(w) * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return 2.0 * std::abs(std::complex<double>(s1, 0.0) - std::polar(s2, -w)) / static_cast<double>(count);
}

// A stereo sine of `hertz`, its channels at their own amplitudes.
inline StereoBuffer sine(double hertz, double seconds, double amplitude, double rightAmplitude,
                         double sampleRate = kSampleRate) {
  StereoBuffer audio(static_cast<std::size_t>(seconds * sampleRate));
  for (std::size_t i = 0; i < audio.frames(); ++i) {
    double phase = 2.0 * std::numbers::pi * hertz * static_cast<double>(i) / sampleRate;
    audio.left[i] = static_cast<float>(amplitude * std::sin(phase));
    audio.right[i] = static_cast<float>(rightAmplitude * std::sin(phase));
  }
  return audio;
}

}  // namespace tessarine::synth::testing
