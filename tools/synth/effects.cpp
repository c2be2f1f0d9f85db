// Delay, reverb and ducker. The reverb's comb and all-pass lengths are mutually prime-ish
// sample counts at 44.1 kHz, the right channel's a little longer, so the echoes of the two
// channels never line up and the room sounds wide.
#include "synth/effects.h"

#include <algorithm>
#include <cmath>

#include "synth/audio_buffer.h"

namespace tessarine::synth {
namespace {

constexpr std::array<std::size_t, Reverb::kCombs> kCombLengths = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<std::size_t, Reverb::kAllPasses> kAllPassLengths = {556, 441, 341, 225};
constexpr std::size_t kStereoSpread = 23;
constexpr float kAllPassFeedback = 0.5f;
// The combs add up eight copies of the input; scale it down before them.
constexpr float kReverbInputGain = 0.015f;

std::size_t delaySamples(double seconds) {
  return std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(seconds * kSampleRate)));
}

float onePoleFactor(double seconds) { return static_cast<float>(1.0 - std::exp(-1.0 / (seconds * kSampleRate))); }

}  // namespace

StereoDelay::StereoDelay(double seconds, float feedback, float damping)
    : left_(delaySamples(seconds), 0.0f), right_(delaySamples(seconds), 0.0f), feedback_(feedback), damping_(damping) {}

void StereoDelay::process(float left, float right, float& outLeft, float& outRight) {
  float echoLeft = left_[position_];
  float echoRight = right_[position_];
  dampedLeft_ += (echoLeft - dampedLeft_) * (1.0f - damping_);
  dampedRight_ += (echoRight - dampedRight_) * (1.0f - damping_);
  // Each echo feeds the other side, so the repeats bounce from left to right.
  left_[position_] = 0.5f * (left + right) + feedback_ * dampedRight_;
  right_[position_] = feedback_ * dampedLeft_;
  if (++position_ == left_.size()) position_ = 0;
  outLeft += echoLeft;
  outRight += echoRight;
}

Reverb::Reverb(float roomSize, float damping) : feedback_(roomSize), damping_(damping) {
  for (std::size_t i = 0; i < kCombs; ++i) {
    left_.combs[i].buffer.assign(kCombLengths[i], 0.0f);
    right_.combs[i].buffer.assign(kCombLengths[i] + kStereoSpread, 0.0f);
  }
  for (std::size_t i = 0; i < kAllPasses; ++i) {
    left_.allPasses[i].buffer.assign(kAllPassLengths[i], 0.0f);
    right_.allPasses[i].buffer.assign(kAllPassLengths[i] + kStereoSpread, 0.0f);
  }
}

float Reverb::processChannel(Channel& channel, float input) {
  float sum = 0.0f;
  for (Comb& comb : channel.combs) {
    float out = comb.buffer[comb.position];
    comb.filtered = out * (1.0f - damping_) + comb.filtered * damping_;
    comb.buffer[comb.position] = input + comb.filtered * feedback_;
    if (++comb.position == comb.buffer.size()) comb.position = 0;
    sum += out;
  }
  for (AllPass& allPass : channel.allPasses) {
    float delayed = allPass.buffer[allPass.position];
    allPass.buffer[allPass.position] = sum + delayed * kAllPassFeedback;
    if (++allPass.position == allPass.buffer.size()) allPass.position = 0;
    sum = delayed - sum;
  }
  return sum;
}

void Reverb::process(float left, float right, float& outLeft, float& outRight) {
  float input = (left + right) * kReverbInputGain;
  outLeft += processChannel(left_, input);
  outRight += processChannel(right_, input);
}

Ducker::Ducker(float depth, double attackSeconds, double releaseSeconds)
    : depth_(depth), attack_(onePoleFactor(attackSeconds)), release_(onePoleFactor(releaseSeconds)) {}

float Ducker::gain(float key) {
  float level = std::fabs(key);
  envelope_ += (level - envelope_) * (level > envelope_ ? attack_ : release_);
  return 1.0f - depth_ * std::min(1.0f, envelope_);
}

}  // namespace tessarine::synth
