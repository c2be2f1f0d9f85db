// Gain to target loudness, then a look-ahead peak limiter. The limiter's gain is the
// required gain held at its minimum over the look-ahead, recovered slowly, then averaged
// over the look-ahead: every value averaged is at most the gain the current sample needs,
// so the ceiling holds exactly, and the average makes the gain change smooth.
#include "synth/mastering.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "synth/loudness.h"

namespace tessarine::synth {
namespace {

constexpr double kLookAheadSeconds = 0.01;
constexpr double kReleaseSeconds = 0.1;
constexpr int kMaxPasses = 6;
constexpr double kLoudnessTolerance = 0.05;  // LU
// Nothing quieter than this is pulled up to the target: it would only raise noise.
constexpr double kMaxGainDb = 40.0;

void scale(const StereoBuffer& from, double gain, StereoBuffer& to) {
  float factor = static_cast<float>(gain);
  for (std::size_t i = 0; i < from.frames(); ++i) {
    to.left[i] = from.left[i] * factor;
    to.right[i] = from.right[i] * factor;
  }
}

}  // namespace

void limitPeaks(StereoBuffer& audio, float ceiling) {
  const std::size_t frames = audio.frames();
  const std::size_t lookAhead = static_cast<std::size_t>(kLookAheadSeconds * kSampleRate);
  const std::size_t pad = lookAhead - 1;
  // Required gain, with unity gain extended `pad` frames before and after the audio.
  auto required = [&](std::size_t index) -> float {
    if (index < pad || index - pad >= frames) return 1.0f;
    std::size_t frame = index - pad;
    float peak = std::max(std::fabs(audio.left[frame]), std::fabs(audio.right[frame]));
    return peak > ceiling ? ceiling / peak : 1.0f;
  };

  // held[i]: the least required gain over [i, i + pad], by a sliding-window minimum.
  std::vector<float> held(frames + pad);
  std::deque<std::pair<std::size_t, float>> window;
  for (std::size_t index = 0; index < frames + 2 * pad; ++index) {
    float gain = required(index);
    while (!window.empty() && window.back().second >= gain) window.pop_back();
    window.emplace_back(index, gain);
    if (index < pad) continue;
    std::size_t start = index - pad;
    while (window.front().first < start) window.pop_front();
    held[start] = window.front().second;
  }

  // Recovery: the gain rises towards 1 no faster than the release allows.
  const float release = static_cast<float>(1.0 - std::exp(-1.0 / (kReleaseSeconds * kSampleRate)));
  float previous = 1.0f;
  for (float& gain : held) {
    gain = std::min(gain, previous + release * (1.0f - previous));
    previous = gain;
  }

  // Frame n is scaled by the mean of held[n .. n + pad], all of which cover it.
  double sum = 0.0;
  for (std::size_t i = 0; i < pad; ++i) sum += held[i];
  for (std::size_t frame = 0; frame < frames; ++frame) {
    sum += held[frame + pad];
    float gain = static_cast<float>(sum / static_cast<double>(lookAhead));
    sum -= held[frame];
    audio.left[frame] *= gain;
    audio.right[frame] *= gain;
  }
}

MasteringReport master(StereoBuffer& audio, double ceilingDb) {
  const float ceiling = static_cast<float>(fromDecibels(ceilingDb));
  const StereoBuffer raw = audio;
  double gainDb = std::min(kMaxGainDb, kTargetLoudness - integratedLoudness(raw));
  MasteringReport report;
  // The limiter takes a little loudness away; each pass asks for what is still missing.
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    scale(raw, fromDecibels(gainDb), audio);
    limitPeaks(audio, ceiling);
    report.gainDb = gainDb;
    report.loudness = integratedLoudness(audio);
    double missing = kTargetLoudness - report.loudness;
    if (std::fabs(missing) < kLoudnessTolerance) break;
    gainDb = std::min(kMaxGainDb, gainDb + missing);
  }
  report.peakDb = toDecibels(samplePeak(audio));
  return report;
}

}  // namespace tessarine::synth
