// A recording of the screen and the sound server made by one ffmpeg process: how to make
// one, and its frames' mean colours and its sound, each with wall-clock times, read back
// through ffprobe and ffmpeg.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessarine::syncmeter {

struct RecordSettings {
  std::string file;
  std::string grab;    // x11grab's input: DISPLAY+X,Y
  std::string size;    // WIDTHxHEIGHT of the grabbed area
  std::string source;  // the sound server's source, e.g. a sink's monitor
  double seconds = 0;
  int framesPerSecond = 120;
};

// ffmpeg's command line. Both inputs keep wall-clock times (-copyts): a grabbed frame is
// stamped when it is taken, a piece of sound when it arrives. The sound server's own
// stamps are left aside, as its smoothing wanders by tens of milliseconds.
std::vector<std::string> recordCommand(const RecordSettings& settings);

struct Frame {
  double time = 0;  // seconds of the wall clock
  std::array<double, 3> meanColor{};  // 0 to 255
};

// Sound as it came in: pieces with the time each arrived, and their samples in one run.
struct SoundPiece {
  double arrival = 0;
  std::size_t samples = 0;
};

struct Recording {
  std::vector<Frame> frames;
  std::vector<SoundPiece> pieces;
  std::vector<std::int16_t> samples;  // mono
  int sampleRate = 0;
};

// Throws common::Error naming the file when ffprobe or ffmpeg fail, or what they give
// does not add up.
Recording readRecording(const std::string& file);

}  // namespace tessarine::syncmeter
