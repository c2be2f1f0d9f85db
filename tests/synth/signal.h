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
  double w = 2.0 * std::numbers::pi * hertz / sampleRate;
  double coefficient = 2.0 * std::cos(w);
  double s1 = 0.0;
  double s2 = 0.0;
  for (std::size_t i = first; i < first + count; ++i) {
    double s0 = samples[i] + coefficient * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  std::complex<double> bin = std::complex<double>(s1, 0.0) - std::polar(s2, -w);
  return 2.0 * std::abs(bin) / static_cast<double>(count);
}

inline double rms(const std::vector<float>& samples, std::size_t first, std::size_t count) {
  double sum = 0.0;
  for (std::size_t i = first; i < first + count; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return std::sqrt(sum / static_cast<double>(count));
}

// A stereo sine, the same in both channels unless `rightAmplitude` differs.
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

inline StereoBuffer sine(double hertz, double seconds, double amplitude) {
  return sine(hertz, seconds, amplitude, amplitude);
}

}  // namespace tessarine::synth::testing
