// Decodes an MP3 file whole with libmpg123, to check what the encoder wrote.
#pragma once

#include <string>

#include "synth/audio_buffer.h"

namespace tessarine::synth {

struct DecodedMp3 {
  long sampleRate = 0;
  int channels = 0;
  StereoBuffer audio;  // a mono file fills both channels alike
};

// Throws common::Error when the file cannot be opened or decoded.
DecodedMp3 readMp3(const std::string& path);

}  // namespace tessarine::synth
