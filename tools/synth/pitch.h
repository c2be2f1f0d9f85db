// Notes as MIDI numbers (69 is the A at 440 Hz, 12 to an octave).
#pragma once

#include <cmath>

namespace tessarine::synth {

inline constexpr int kConcertA = 69;
inline constexpr double kConcertAHertz = 440.0;

inline double noteHertz(double note) { return kConcertAHertz * std::exp2((note - kConcertA) / 12.0); }

}  // namespace tessarine::synth
