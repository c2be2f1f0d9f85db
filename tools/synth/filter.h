// A resonant state-variable filter (trapezoidal integration), with low-, band- and
// high-pass outputs. Stable under fast cutoff changes, so envelopes may sweep it.
#pragma once

namespace tessarine::synth {

class StateVariableFilter {
 public:
  enum class Mode { LowPass, BandPass, HighPass };

  // Coefficients for one cutoff and resonance; one tuning may be shared by many filters.
  struct Tuning {
    float k = 1.0f;
    float a1 = 0.0f;
    float a2 = 0.0f;
    float a3 = 0.0f;
  };

  explicit StateVariableFilter(Mode mode = Mode::LowPass);

  static Tuning tuning(double cutoffHertz, double resonance);

  // `resonance` is Q: 0.5 is flat and gentle, 0.707 the flattest without a bump,
  // higher values ring at the cutoff. The cutoff is kept below Nyquist.
  void set(double cutoffHertz, double resonance) { tuning_ = tuning(cutoffHertz, resonance); }
  void set(const Tuning& tuning) { tuning_ = tuning; }
  float process(float input);

 private:
  Mode mode_;
  Tuning tuning_;
  float ic1_ = 0.0f;
  float ic2_ = 0.0f;
};

}  // namespace tessarine::synth
