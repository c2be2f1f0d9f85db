// What a recording shows: the moments its picture jumps from one colour to another and
// the moments a click starts in its sound, each picture change paired with its click,
// and the offsets summed up by the kind of moment.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "syncmeter/recording.h"

namespace tessarine::syncmeter {

struct PictureChange {
  double time = 0;  // midway between the last frame of the old colour and the first of the new
  double halfGap = 0;  // half the time between those two frames: how far off `time` may be
  std::array<double, 3> to{};
};

// A change whose frames lie further apart (ffmpeg takes none while it opens its inputs,
// nor when the machine is starved) is kept but never paired: its time is not known.
inline constexpr double kLongestFrameGap = 0.05;

// A change is a jump of the mean colour between two frames in any channel beyond this,
// so a text overlay or a frame's noise is not one.
inline constexpr double kColourJump = 60;
std::vector<PictureChange> findPictureChanges(const std::vector<Frame>& frames);

// The wall-clock time of the recording's first sample. A piece arrives after its last
// sample was played, so each piece bounds that time from above; the tightest bound is
// taken, the delivery time of the fastest piece.
double firstSampleTime(const std::vector<SoundPiece>& pieces, int sampleRate);

// Wall-clock times at which a click starts: a sample beyond half of full scale after
// at least kClickGap seconds with none.
inline constexpr double kClickGap = 0.1;
std::vector<double> findClicks(const Recording& recording);

// A moment of author control (a key press) by name and wall-clock time; the picture
// changes after it, up to the next, are counted under "after NAME".
struct Mark {
  std::string name;
  double time = 0;
};

struct SyncEvent {
  double pictureTime = 0;
  std::optional<double> offsetMs;  // sound minus picture; none: no click near enough
  std::string kind;                // start, switch, wrap, after NAME
};

struct Summary {
  std::size_t count = 0;
  double medianMs = 0, minMs = 0, maxMs = 0;
};

struct SyncResult {
  std::vector<SyncEvent> events;
  std::vector<double> unpairedClicks;  // wall-clock times
  std::map<std::string, Summary> kinds;
  std::optional<Summary> all;
  // The median of the last three offsets less that of the first three.
  std::optional<double> driftMs;
};

// A picture change and a click are a pair when the last two picture changes came after
// their own previous changes as the last two clicks did (within kSpanTolerance), and they
// lie within kSameSpanWindow of each other, the nearest such; failing that, when each is
// the other's nearest and they lie within kPairWindow. Before any mark, the first change
// is the start, a change back to the first change's colour the wrap, any other a switch.
inline constexpr double kSpanTolerance = 0.1;
inline constexpr double kSameSpanWindow = 2.0;
inline constexpr double kPairWindow = 0.5;
SyncResult measureSync(const std::vector<PictureChange>& changes, const std::vector<double>& clicks,
                       std::vector<Mark> marks);

}  // namespace tessarine::syncmeter
