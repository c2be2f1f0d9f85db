// The command line of tessarine-capture: what to draw (single moments or a stretch at a
// frame rate), how big, and where to (numbered PNG files, a video with the music).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "capture/frame_pattern.h"

namespace tessarine::capture {

inline constexpr int kDefaultWidth = 1280;
inline constexpr int kDefaultHeight = 720;
// Larger framebuffers than this are refused before any memory is asked for.
inline constexpr int kMaxSide = 8192;
inline constexpr double kDefaultFramesPerSecond = 30;
inline constexpr double kMaxFramesPerSecond = 1000;
// Nine hours at 30 frames a second; the plan of a run is held in memory.
inline constexpr long long kMaxFrames = 1'000'000;

extern const char* const kUsage;

struct CaptureOptions {
  std::string dataDirectory;
  std::string musicFile;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  std::vector<double> moments;  // --at, in the order given; none: a stretch
  double framesPerSecond = kDefaultFramesPerSecond;
  double from = 0;
  std::optional<double> to;  // none: the end of the show
  std::optional<FramePattern> out;
  std::optional<std::string> video;
};

struct ParsedOptions {
  std::optional<CaptureOptions> options;  // none: see `error`, or help was asked for
  std::string error;                      // empty with no options: --help
};

// Reads the arguments after the program name. Never throws for bad input.
ParsedOptions parseOptions(std::span<const std::string_view> arguments);

// The frames of a run, as show times and the numbers their files take; checked against
// the show's length. Throws nothing; an empty list with `error` set for times past the end.
struct FramePlan {
  std::vector<double> times;
  std::vector<int> numbers;
  std::string error;
};
FramePlan planFrames(const CaptureOptions& options, double showLength);

}  // namespace tessarine::capture
