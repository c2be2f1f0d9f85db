// A band-limited oscillator: sine, and saw and square whose steps are smoothed with
// polyBLEP, so high notes do not fold their harmonics back into the audible band.
#pragma once

namespace tessarine::synth {

enum class Waveform { Sine, Saw, Square };

class Oscillator {
 public:
  // `phase` in cycles, 0 to 1: detuned copies of a voice start apart so they do not
  // sum into one loud click.
  explicit Oscillator(Waveform waveform = Waveform::Saw, double phase = 0.0);

  void setFrequency(double hertz);
  void setPhase(double phase) { phase_ = phase; }
  // One sample, from -1 to 1.
  float next();

 private:
  Waveform waveform_;
  double phase_;
  double increment_ = 0.0;
};

}  // namespace tessarine::synth
