// Drum voices built from a sine with falling pitch, sine pairs and filtered noise, each
// with exponential decays timed from its last hit.
#include "synth/drums.h"

#include <cmath>

#include "synth/audio_buffer.h"

namespace tessarine::synth {
namespace {

constexpr double kSamplePeriod = 1.0 / kSampleRate;

// Kick: the pitch sweep and body decay are what make it thump rather than boom.
constexpr double kKickPitchTime = 0.035;
constexpr double kKickBodyTime = 0.15;
constexpr double kKickClickTime = 0.003;
constexpr float kKickClickLevel = 0.25f;
constexpr float kKickDrive = 1.6f;

constexpr double kSnareLowHertz = 185.0;
constexpr double kSnareHighHertz = 330.0;
constexpr double kSnareToneTime = 0.06;
constexpr double kSnareNoiseTime = 0.13;
constexpr double kSnareRattleHertz = 3200.0;
constexpr double kSnareRattleResonance = 0.6;
constexpr float kSnareToneLevel = 0.5f;
constexpr float kSnareNoiseLevel = 0.9f;

constexpr double kHatCutoff = 7500.0;
constexpr double kHatResonance = 0.9;
constexpr double kClosedHatTime = 0.035;
constexpr double kOpenHatTime = 0.28;

constexpr double kRiserLowHertz = 250.0;
constexpr double kRiserHighHertz = 9000.0;
constexpr double kRiserResonance = 2.0;
constexpr int kRiserControlInterval = 32;

float decayPerSample(double seconds) { return static_cast<float>(std::exp(-kSamplePeriod / seconds)); }

}  // namespace

Kick::Kick() = default;

void Kick::trigger(float velocity) {
  age_ = 0.0;
  velocity_ = velocity;
  body_.setPhase(0.0);
}

float Kick::next() {
  if (age_ > 20.0 * kKickBodyTime) return 0.0f;
  double sweep = std::exp(-age_ / kKickPitchTime);
  body_.setFrequency(kEndHertz + (kStartHertz - kEndHertz) * sweep);
  double body = body_.next() * std::exp(-age_ / kKickBodyTime);
  double click = click_.next() * kKickClickLevel * std::exp(-age_ / kKickClickTime);
  age_ += kSamplePeriod;
  // Soft saturation thickens the body; scaled by the most body and click can reach, so a
  // full hit stays within full scale.
  return velocity_ * static_cast<float>(std::tanh(kKickDrive * (body + click)) / std::tanh(kKickDrive * (1.0 + kKickClickLevel)));
}

Snare::Snare() {
  low_.setFrequency(kSnareLowHertz);
  high_.setFrequency(kSnareHighHertz);
  rattle_.set(kSnareRattleHertz, kSnareRattleResonance);
}

void Snare::trigger(float velocity) {
  age_ = 0.0;
  velocity_ = velocity;
}

float Snare::next() {
  if (age_ > 20.0 * kSnareNoiseTime) return 0.0f;
  double tone = (low_.next() + 0.6 * high_.next()) * std::exp(-age_ / kSnareToneTime);
  double noise = rattle_.process(noise_.next()) * std::exp(-age_ / kSnareNoiseTime);
  age_ += kSamplePeriod;
  return velocity_ * static_cast<float>(kSnareToneLevel * tone + kSnareNoiseLevel * noise);
}

HiHat::HiHat() { highPass_.set(kHatCutoff, kHatResonance); }

void HiHat::triggerClosed(float velocity) {
  level_ = velocity;
  decay_ = decayPerSample(kClosedHatTime);
}

void HiHat::triggerOpen(float velocity) {
  level_ = velocity;
  decay_ = decayPerSample(kOpenHatTime);
}

float HiHat::next() {
  float sample = highPass_.process(noise_.next()) * level_;
  level_ *= decay_;
  return sample;
}

Riser::Riser() = default;

void Riser::start(double seconds, float velocity) {
  length_ = seconds;
  age_ = 0.0;
  velocity_ = velocity;
}

float Riser::next() {
  if (age_ >= length_) return 0.0f;
  double progress = age_ / length_;
  if (controlCountdown_-- <= 0) {
    controlCountdown_ = kRiserControlInterval - 1;
    band_.set(kRiserLowHertz * std::pow(kRiserHighHertz / kRiserLowHertz, progress), kRiserResonance);
  }
  age_ += kSamplePeriod;
  return band_.process(noise_.next()) * velocity_ * static_cast<float>(progress * progress);
}

}  // namespace tessarine::synth
