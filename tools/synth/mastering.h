// Mastering: brings the raw mix to the show's loudness and holds its peaks under a
// ceiling with a look-ahead limiter, so nothing clips before or after encoding.
#pragma once

#include "synth/audio_buffer.h"

namespace tessarine::synth {

inline constexpr double kTargetLoudness = -14.0;  // LUFS
// Under the -1 dBFS that the file must keep, with room for the encoder's overshoot.
inline constexpr double kPeakCeilingDb = -1.5;

struct MasteringReport {
  double gainDb = 0.0;    // applied before the limiter
  double loudness = 0.0;  // LUFS of the result
  double peakDb = 0.0;    // dBFS of the result's largest sample
};

// Scales `audio` so that, once limited to `ceilingDb`, it measures kTargetLoudness.
MasteringReport master(StereoBuffer& audio, double ceilingDb = kPeakCeilingDb);

// Lowers the gain, linked across both channels, wherever a sample would pass `ceiling`
// (a factor of full scale); the gain leans in ahead of each peak and recovers after it.
void limitPeaks(StereoBuffer& audio, float ceiling);

}  // namespace tessarine::synth
