// The piece as notes: what each instrument plays in each bar of the show, following the
// scenes of the timeline (intro, the beat entering, breakdown, full energy, outro).
#pragma once

#include <cstdint>
#include <vector>

namespace tessarine::synth {

enum class Instrument { Kick, Snare, ClosedHat, OpenHat, Riser, Bass, Pad, Arp, Lead };

struct NoteEvent {
  std::int64_t start = 0;   // frame, counted from the first bar scored
  std::int64_t length = 0;  // frames the note is held
  Instrument instrument = Instrument::Kick;
  int note = 0;             // MIDI number; unused by the drums
  float velocity = 1.0f;
};

inline constexpr int kStepsPerBar = 16;  // sixteenth notes

// Frames of one bar, and of the bars [0, bars).
std::int64_t framesOfBars(int bars);

// The notes that start in bars [firstBar, firstBar + barCount) of the show, in order of
// start. Bars outside the show hold nothing.
std::vector<NoteEvent> scoreBars(int firstBar, int barCount);

}  // namespace tessarine::synth
