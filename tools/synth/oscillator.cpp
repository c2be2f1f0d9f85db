// Phase-accumulator oscillator with polyBLEP step correction.
#include "synth/oscillator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth/audio_buffer.h"

namespace tessarine::synth {
namespace {

// Nyquist: above it a phase increment would step over whole cycles.
constexpr double kMaxIncrement = 0.5;

// The polynomial residual of a band-limited unit step at phase 0, spread over one
// sample either side of the discontinuity.
double polyBlep(double phase, double increment) {
  if (phase < increment) {
    double t = phase / increment;
    return t + t - t * t - 1.0;
  }
  if (phase > 1.0 - increment) {
    double t = (phase - 1.0) / increment;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

}  // namespace

Oscillator::Oscillator(Waveform waveform, double phase) : waveform_(waveform), phase_(phase - std::floor(phase)) {}

void Oscillator::setFrequency(double hertz) {
  increment_ = std::clamp(hertz / kSampleRate, 0.0, kMaxIncrement);
}

float Oscillator::next() {
  double value = 0.0;
  switch (waveform_) {
    case Waveform::Sine:
      value = std::sin(2.0 * std::numbers::pi * phase_);
      break;
    case Waveform::Saw:
      value = 2.0 * phase_ - 1.0 - polyBlep(phase_, increment_);
      break;
    case Waveform::Square: {
      double falling = phase_ + 0.5;
      if (falling >= 1.0) falling -= 1.0;
      value = (phase_ < 0.5 ? 1.0 : -1.0) + polyBlep(phase_, increment_) - polyBlep(falling, increment_);
      break;
    }
  }
  phase_ += increment_;
  if (phase_ >= 1.0) phase_ -= 1.0;
  return static_cast<float>(value);
}

}  // namespace tessarine::synth
