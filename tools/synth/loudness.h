// Loudness and peak measures for mastering: integrated loudness in LUFS after the
// broadcast recommendation (EBU R128: K-weighting, 400 ms blocks, both gates).
#pragma once

#include "synth/audio_buffer.h"

namespace tessarine::synth {

// What silence, or audio too short for one block, measures.
inline constexpr double kSilenceLoudness = -70.0;

// Integrated loudness of stereo audio at kSampleRate, in LUFS, never below
// kSilenceLoudness; a full-scale 997 Hz sine in both channels reads about 0. Throws
// common::Error when the meter cannot be made.
double integratedLoudness(const StereoBuffer& audio);

// Largest absolute sample of either channel, as a factor of full scale.
float samplePeak(const StereoBuffer& audio);

double toDecibels(double factor);
double fromDecibels(double decibels);

}  // namespace tessarine::synth
