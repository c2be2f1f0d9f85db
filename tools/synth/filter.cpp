// State-variable filter after the trapezoidal (zero-delay feedback) form: two integrators
// whose states are updated after the outputs are solved for.
#include "synth/filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth/audio_buffer.h"

namespace tessarine::synth {
namespace {

constexpr double kMinCutoff = 10.0;
// tan() grows without bound at Nyquist; stop short of it.
constexpr double kMaxCutoffRatio = 0.45;
constexpr double kMinResonance = 0.1;

}  // namespace

StateVariableFilter::StateVariableFilter(Mode mode) : mode_(mode) { set(1000.0, 0.707); }

StateVariableFilter::Tuning StateVariableFilter::tuning(double cutoffHertz, double resonance) {
  double cutoff = std::clamp(cutoffHertz, kMinCutoff, kMaxCutoffRatio * kSampleRate);
  double g = std::tan(std::numbers::pi * cutoff / kSampleRate);
  double k = 1.0 / std::max(resonance, kMinResonance);
  double a1 = 1.0 / (1.0 + g * (g + k));
  return {static_cast<float>(k), static_cast<float>(a1), static_cast<float>(g * a1), static_cast<float>(g * g * a1)};
}

float StateVariableFilter::process(float input) {
  float v3 = input - ic2_;
  float v1 = tuning_.a1 * ic1_ + tuning_.a2 * v3;
  float v2 = ic2_ + tuning_.a2 * ic1_ + tuning_.a3 * v3;
  ic1_ = 2.0f * v1 - ic1_;
  ic2_ = 2.0f * v2 - ic2_;
  switch (mode_) {
    case Mode::LowPass:
      return v2;
    case Mode::BandPass:
      return v1;
    case Mode::HighPass:
      return input - tuning_.k * v1 - v2;
  }
  return v2;
}

}  // namespace tessarine::synth
