// Integrated loudness through libebur128, the measure other audio tools use, so the
// soundtrack reads the same here as in them; peaks and decibels by hand.
#include "synth/loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "common/error.h"

namespace tessarine::synth {
namespace {

// The audio is handed over interleaved, a second at a time.
constexpr std::size_t kChunkFrames = kSampleRate;

struct MeterDeleter {
  void operator()(ebur128_state* meter) const { ebur128_destroy(&meter); }
};
using Meter = std::unique_ptr<ebur128_state, MeterDeleter>;

void check(int result, const char* what) {
  if (result != EBUR128_SUCCESS) throw common::Error(std::string("The loudness meter failed to ") + what);
}

}  // namespace

double integratedLoudness(const StereoBuffer& audio) {
  Meter meter(ebur128_init(2, kSampleRate, EBUR128_MODE_I));
  if (!meter) throw common::Error("The loudness meter could not be made");
  std::vector<float> interleaved(2 * kChunkFrames);
  for (std::size_t first = 0; first < audio.frames(); first += kChunkFrames) {
    const std::size_t frames = std::min(kChunkFrames, audio.frames() - first);
    for (std::size_t i = 0; i < frames; ++i) {
      interleaved[2 * i] = audio.left[first + i];
      interleaved[2 * i + 1] = audio.right[first + i];
    }
    check(ebur128_add_frames_float(meter.get(), interleaved.data(), frames), "take the audio");
  }
  double loudness = 0;
  check(ebur128_loudness_global(meter.get(), &loudness), "measure");
  // Silence, or audio shorter than one gating block, measures minus infinity.
  return std::isfinite(loudness) ? std::max(kSilenceLoudness, loudness) : kSilenceLoudness;
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
