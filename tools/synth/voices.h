// The pitched instruments: a monophonic bass and lead (the lead patch also plays the
// arpeggio) and a polyphonic pad of detuned saws spread across the stereo field.
#pragma once

#include <array>

#include "synth/adsr.h"
#include "synth/filter.h"
#include "synth/oscillator.h"

namespace tessarine::synth {

// A monophonic subtractive voice: oscillators, a low-pass whose cutoff an envelope opens
// on each note, and an amplitude envelope.
struct MonoPatch {
  Waveform waveform = Waveform::Saw;
  double detuneCents = 0.0;     // the second oscillator's offset; 0 plays one
  double subLevel = 0.0;        // a sine an octave below, for weight
  AdsrShape amp;
  double cutoffHertz = 800.0;   // closed
  double envelopeHertz = 2000.0;  // added at the start of each note
  double filterDecay = 0.2;     // seconds for the added cutoff to fall to 1/e
  double resonance = 1.0;
  double vibratoCents = 0.0;
  double vibratoHertz = 5.0;
};

class MonoVoice {
 public:
  explicit MonoVoice(const MonoPatch& patch);

  void noteOn(int note, float velocity);
  void noteOff();
  // Scales the patch's cutoffs, for automation over a section.
  void setBrightness(double factor) { brightness_ = factor; }
  float next();

 private:
  MonoPatch patch_;
  Oscillator first_;
  Oscillator second_;
  Oscillator sub_{Waveform::Sine};
  Oscillator vibrato_{Waveform::Sine};
  StateVariableFilter filter_;
  Adsr amp_;
  double hertz_ = 0.0;
  float velocity_ = 0.0f;
  double filterAge_ = 1.0e9;
  double brightness_ = 1.0;
  int controlCountdown_ = 0;
};

class Pad {
 public:
  static constexpr int kMaxVoices = 8;

  Pad();
  void noteOn(int note, float velocity);
  void noteOff(int note);
  void setCutoff(double hertz);
  void next(float& left, float& right);

 private:
  struct Voice {
    int note = -1;
    float velocity = 0.0f;
    std::array<Oscillator, 3> oscillators;
    StateVariableFilter left;
    StateVariableFilter right;
    Adsr amp;
    unsigned started = 0;  // order of its note-on, to steal the oldest
  };

  std::array<Voice, kMaxVoices> voices_;
  unsigned notesStarted_ = 0;
};

}  // namespace tessarine::synth
