// Test music made at test time: a steady sine tone encoded to MP3 with libmp3lame.
#pragma once

#include <string>

namespace tessarine::audio::testing {

struct Tone {
  int rate = 44100;
  int channels = 2;
  double seconds = 2.0;
  double leftHz = 440.0;
  double rightHz = 660.0;  // ignored for one channel
};

// The whole MP3 file, its first frame holding the encoder's delay and padding, so that a
// decoder can give back exactly rate * seconds sample frames.
std::string encodeTone(const Tone& tone);

}  // namespace tessarine::audio::testing
