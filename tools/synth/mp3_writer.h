// Encodes stereo audio to an MP3 file with libmp3lame: variable bit rate at quality 2
// (about 190 kbit/s), joint stereo, 44.1 kHz. The file carries no ID3 tag; its first
// frame is the encoder's silent info frame (length, encoder delay and padding), which lets
// a decoder find the duration at once and trim the padding for a gapless loop.
#pragma once

#include <string>
#include <vector>

#include "synth/audio_buffer.h"

namespace tessarine::synth {

// The whole stream in memory, its info frame filled in. `sampleRate` is the rate `audio`
// is played at; the show's own music is always kSampleRate, other rates serve tests.
std::vector<unsigned char> encodeMp3(const StereoBuffer& audio, int sampleRate = kSampleRate);

// Writes `audio` to `path`, replacing it only once the whole file is written, so a failed
// run never leaves a half file behind. Throws common::Error on any failure.
void writeMp3(const std::string& path, const StereoBuffer& audio);

}  // namespace tessarine::synth
