// Integrated loudness: a two-stage K-weighting filter (a high shelf for the head, a high
// pass), mean square per channel over overlapping 400 ms blocks, then the two gates.
#include "synth/loudness.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tessarine::synth {
namespace {

// The K-weighting stages, designed for any sample rate from their analogue prototypes.
constexpr double kShelfHertz = 1681.974450955533;
constexpr double kShelfGainDb = 3.999843853973347;
constexpr double kShelfQ = 0.7071752369554196;
constexpr double kShelfBandwidthExponent = 0.4996667741545416;
constexpr double kHighPassHertz = 38.13547087602444;
constexpr double kHighPassQ = 0.5003270373238773;

// Offset that makes a 997 Hz tone read its own level.
constexpr double kLoudnessOffset = -0.691;
constexpr double kBlockSeconds = 0.4;
constexpr double kStepSeconds = 0.1;  // blocks overlap by three quarters
constexpr double kAbsoluteGate = -70.0;
constexpr double kRelativeGate = -10.0;

struct Biquad {
  double b0, b1, b2, a1, a2;
  double z1 = 0.0, z2 = 0.0;

  double process(double x) {
    double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

Biquad shelf() {
  double k = std::tan(std::numbers::pi * kShelfHertz / kSampleRate);
  double vh = std::pow(10.0, kShelfGainDb / 20.0);
  double vb = std::pow(vh, kShelfBandwidthExponent);
  double a0 = 1.0 + k / kShelfQ + k * k;
  return {(vh + vb * k / kShelfQ + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / kShelfQ + k * k) / a0,
          2.0 * (k * k - 1.0) / a0, (1.0 - k / kShelfQ + k * k) / a0};
}

Biquad highPass() {
  double k = std::tan(std::numbers::pi * kHighPassHertz / kSampleRate);
  double a0 = 1.0 + k / kHighPassQ + k * k;
  return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / kHighPassQ + k * k) / a0};
}

// Squares of the K-weighted channel, summed over each 100 ms step.
std::vector<double> stepEnergies(const std::vector<float>& channel, std::size_t stepFrames) {
  Biquad first = shelf();
  Biquad second = highPass();
  std::vector<double> energies(channel.size() / stepFrames, 0.0);
  for (std::size_t step = 0; step < energies.size(); ++step) {
    double sum = 0.0;
    for (std::size_t i = step * stepFrames; i < (step + 1) * stepFrames; ++i) {
      double y = second.process(first.process(channel[i]));
      sum += y * y;
    }
    energies[step] = sum;
  }
  return energies;
}

double loudnessOf(double meanSquare) {
  return meanSquare > 0.0 ? kLoudnessOffset + 10.0 * std::log10(meanSquare) : -HUGE_VAL;
}

}  // namespace

double integratedLoudness(const StereoBuffer& audio) {
  const std::size_t stepFrames = static_cast<std::size_t>(kStepSeconds * kSampleRate);
  const std::size_t stepsPerBlock = static_cast<std::size_t>(std::lround(kBlockSeconds / kStepSeconds));
  std::vector<double> left = stepEnergies(audio.left, stepFrames);
  std::vector<double> right = stepEnergies(audio.right, stepFrames);
  if (left.size() < stepsPerBlock) return kSilenceLoudness;

  std::vector<double> blocks;  // mean square of both channels, summed
  for (std::size_t first = 0; first + stepsPerBlock <= left.size(); ++first) {
    double sum = 0.0;
    for (std::size_t step = first; step < first + stepsPerBlock; ++step) sum += left[step] + right[step];
    blocks.push_back(sum / static_cast<double>(stepsPerBlock * stepFrames));
  }

  auto gatedMean = [&](double gate) {
    double sum = 0.0;
    std::size_t count = 0;
    for (double block : blocks) {
      if (loudnessOf(block) > gate) {
        sum += block;
        ++count;
      }
    }
    return count > 0 ? sum / static_cast<double>(count) : 0.0;
  };
  double ungated = gatedMean(kAbsoluteGate);
  if (ungated <= 0.0) return kSilenceLoudness;
  double gated = gatedMean(std::max(kAbsoluteGate, loudnessOf(ungated) + kRelativeGate));
  return std::max(kSilenceLoudness, loudnessOf(gated));
}

float samplePeak(const StereoBuffer& audio) {
  float peak = 0.0f;
  for (float sample : audio.left) peak = std::max(peak, std::fabs(sample));
  for (float sample : audio.right) peak = std::max(peak, std::fabs(sample));
  return peak;
}

double toDecibels(double factor) { return factor > 0.0 ? 20.0 * std::log10(factor) : -HUGE_VAL; }
double fromDecibels(double decibels) { return std::pow(10.0, decibels / 20.0); }

}  // namespace tessarine::synth
