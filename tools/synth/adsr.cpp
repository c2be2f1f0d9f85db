// Straight-segment envelope: each stage moves by a fixed step per sample.
#include "synth/adsr.h"

#include <algorithm>

#include "synth/audio_buffer.h"

namespace tessarine::synth {
namespace {

// A stage of zero length finishes in one sample rather than dividing by zero.
float stepFor(float distance, float seconds) {
  float samples = std::max(1.0f, seconds * static_cast<float>(kSampleRate));
  return distance / samples;
}

}  // namespace

Adsr::Adsr(AdsrShape shape) : shape_(shape) {}

void Adsr::gateOn() { stage_ = Stage::Attack; }

void Adsr::gateOff() {
  if (stage_ == Stage::Idle) return;
  stage_ = Stage::Release;
  releaseStep_ = stepFor(level_, shape_.release);
}

float Adsr::next() {
  switch (stage_) {
    case Stage::Idle:
      break;
    case Stage::Attack:
      level_ += stepFor(1.0f, shape_.attack);
      if (level_ >= 1.0f) {
        level_ = 1.0f;
        stage_ = Stage::Decay;
      }
      break;
    case Stage::Decay:
      level_ -= stepFor(1.0f - shape_.sustain, shape_.decay);
      if (level_ <= shape_.sustain) {
        level_ = shape_.sustain;
        stage_ = Stage::Sustain;
      }
      break;
    case Stage::Sustain:
      level_ = shape_.sustain;
      break;
    case Stage::Release:
      level_ -= releaseStep_;
      if (level_ <= 0.0f) {
        level_ = 0.0f;
        stage_ = Stage::Idle;
      }
      break;
  }
  return level_;
}

}  // namespace tessarine::synth
