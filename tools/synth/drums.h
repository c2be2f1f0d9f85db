// The drum voices: a kick whose pitch drops, a snare of tone and noise, hi-hats (closed
// and open; a closed hit chokes an open one, as on a real pair) and a noise riser.
#pragma once

#include "synth/filter.h"
#include "synth/noise.h"
#include "synth/oscillator.h"

namespace tessarine::synth {

class Kick {
 public:
  // Pitch falls from kStartHertz towards kEndHertz.
  static constexpr double kStartHertz = 160.0;
  static constexpr double kEndHertz = 45.0;

  Kick();
  void trigger(float velocity);
  float next();

 private:
  Oscillator body_{Waveform::Sine};
  Noise click_{0x6b1c4u};
  double age_ = 1.0e9;  // seconds since the hit; far past means silent
  float velocity_ = 0.0f;
};

class Snare {
 public:
  Snare();
  void trigger(float velocity);
  float next();

 private:
  Oscillator low_{Waveform::Sine};
  Oscillator high_{Waveform::Sine};
  Noise noise_{0x5a4e3u};
  StateVariableFilter rattle_{StateVariableFilter::Mode::BandPass};
  double age_ = 1.0e9;
  float velocity_ = 0.0f;
};

class HiHat {
 public:
  HiHat();
  void triggerClosed(float velocity);
  void triggerOpen(float velocity);
  float next();

 private:
  Noise noise_{0x4a7e1u};
  StateVariableFilter highPass_{StateVariableFilter::Mode::HighPass};
  float level_ = 0.0f;
  float decay_ = 0.0f;  // per-sample factor
};

// Filtered noise that rises in pitch and level up to a downbeat, then stops.
class Riser {
 public:
  Riser();
  void start(double seconds, float velocity);
  float next();

 private:
  Noise noise_{0x715e5u};
  StateVariableFilter band_{StateVariableFilter::Mode::BandPass};
  double length_ = 0.0;
  double age_ = 0.0;
  float velocity_ = 0.0f;
  int controlCountdown_ = 0;
};

}  // namespace tessarine::synth
