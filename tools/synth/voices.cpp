// Bass, lead and pad voices. Filters are retuned at a control rate, since tan() per
// sample for every voice would cost more than the rest of the voice together.
#include "synth/voices.h"

#include <cmath>

#include "synth/audio_buffer.h"
#include "synth/pitch.h"

namespace tessarine::synth {
namespace {

constexpr int kControlInterval = 16;  // samples between filter retunes
constexpr double kControlPeriod = static_cast<double>(kControlInterval) / kSampleRate;

// The pad: three saws a few cents apart beat slowly against each other.
constexpr double kPadDetuneCents = 9.0;
constexpr double kPadResonance = 0.8;
constexpr float kPadVoiceLevel = 0.22f;
constexpr float kPadCentreShare = 0.7f;
const AdsrShape kPadShape{1.6f, 1.0f, 0.8f, 2.4f};

double centsFactor(double cents) { return std::exp2(cents / 1200.0); }

}  // namespace

MonoVoice::MonoVoice(const MonoPatch& patch)
    : patch_(patch), first_(patch.waveform, 0.0), second_(patch.waveform, 0.37), amp_(patch.amp) {
  vibrato_.setFrequency(patch.vibratoHertz);
}

void MonoVoice::noteOn(int note, float velocity) {
  hertz_ = noteHertz(note);
  velocity_ = velocity;
  filterAge_ = 0.0;
  controlCountdown_ = 0;
  amp_.gateOn();
}

void MonoVoice::noteOff() { amp_.gateOff(); }

float MonoVoice::next() {
  if (!amp_.active()) return 0.0f;
  double vibrato = vibrato_.next();
  if (controlCountdown_-- <= 0) {
    controlCountdown_ = kControlInterval - 1;
    double cutoff = patch_.cutoffHertz + patch_.envelopeHertz * std::exp(-filterAge_ / patch_.filterDecay);
    filter_.set(cutoff * brightness_, patch_.resonance);
    filterAge_ += kControlPeriod;
    double hertz = hertz_ * centsFactor(patch_.vibratoCents * vibrato);
    first_.setFrequency(hertz);
    second_.setFrequency(hertz * centsFactor(patch_.detuneCents));
    sub_.setFrequency(hertz * 0.5);
  }
  double tone = first_.next();
  if (patch_.detuneCents != 0.0) tone = 0.5 * (tone + second_.next());
  if (patch_.subLevel != 0.0) tone += patch_.subLevel * sub_.next();
  return filter_.process(static_cast<float>(tone)) * amp_.next() * velocity_;
}

Pad::Pad() {
  for (Voice& voice : voices_) {
    voice.oscillators = {Oscillator(Waveform::Saw, 0.0), Oscillator(Waveform::Saw, 0.31),
                         Oscillator(Waveform::Saw, 0.67)};
    voice.amp.setShape(kPadShape);
  }
  setCutoff(1000.0);
}

void Pad::noteOn(int note, float velocity) {
  // A free voice if there is one, else the oldest note gives way.
  Voice* chosen = &voices_[0];
  for (Voice& voice : voices_) {
    if (!voice.amp.active()) {
      chosen = &voice;
      break;
    }
    if (voice.started < chosen->started) chosen = &voice;
  }
  chosen->note = note;
  chosen->velocity = velocity;
  chosen->started = ++notesStarted_;
  double hertz = noteHertz(note);
  chosen->oscillators[0].setFrequency(hertz * centsFactor(-kPadDetuneCents));
  chosen->oscillators[1].setFrequency(hertz);
  chosen->oscillators[2].setFrequency(hertz * centsFactor(kPadDetuneCents));
  chosen->amp.gateOn();
}

void Pad::noteOff(int note) {
  for (Voice& voice : voices_) {
    if (voice.note == note) voice.amp.gateOff();
  }
}

void Pad::setCutoff(double hertz) {
  StateVariableFilter::Tuning tuning = StateVariableFilter::tuning(hertz, kPadResonance);
  for (Voice& voice : voices_) {
    voice.left.set(tuning);
    voice.right.set(tuning);
  }
}

void Pad::next(float& left, float& right) {
  left = 0.0f;
  right = 0.0f;
  for (Voice& voice : voices_) {
    if (!voice.amp.active()) continue;
    float low = voice.oscillators[0].next();
    float centre = voice.oscillators[1].next() * kPadCentreShare;
    float high = voice.oscillators[2].next();
    float gain = voice.amp.next() * voice.velocity * kPadVoiceLevel;
    left += voice.left.process(low + centre) * gain;
    right += voice.right.process(high + centre) * gain;
  }
}

}  // namespace tessarine::synth

