// Loudness and peak measures for mastering: integrated loudness in LUFS after the
// broadcast recommendation (K-weighting, 400 ms blocks, absolute and relative gates).
#pragma once

#include "synth/audio_buffer.h"

namespace tessarine::synth {

// What silence, or audio too short for one block, measures.
inline constexpr double kSilenceLoudness = -70.0;

// Integrated loudness of stereo audio at kSampleRate, in LUFS; a full-scale 997 Hz sine
// in both channels reads about 0, one 20 dB lower about -20.
double integratedLoudness(const StereoBuffer& audio);

// Largest absolute sample of either channel, as a factor of full scale.
float samplePeak(const StereoBuffer& audio);

double toDecibels(double factor);
double fromDecibels(double decibels);

}  // namespace tessarine::synth
