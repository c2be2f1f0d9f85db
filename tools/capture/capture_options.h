// The command line of tessarine-capture: what to draw (single moments or a stretch at a
// frame rate), how big, and where to (numbered PNG files, a video with the music).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "capture/frame_pattern.h"
#include "show/show.h"

namespace CLI {
class App;
}

namespace tessarine::capture {

inline constexpr int kDefaultWidth = 1280;
inline constexpr int kDefaultHeight = 720;
// Larger framebuffers than this are refused before any memory is asked for.
inline constexpr int kMaxSide = 8192;
inline constexpr double kDefaultFramesPerSecond = 30;
inline constexpr double kMaxFramesPerSecond = 1000;
// Nine hours at 30 frames a second; the plan of a run is held in memory.
inline constexpr long long kMaxFrames = 1'000'000;

struct CaptureOptions {
  std::optional<std::string> showDirectory;
  // Given on their own, or the show's.
  std::string dataDirectory;
  std::string musicFile;  // empty: none (LightWave files without --music)
  // SHOW_DIR named a LightWave scene or object: it is captured instead of the show.
  std::optional<show::LightWaveContent> lightWave;
  std::vector<std::string> contentFolders;  // --content
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  std::vector<double> moments;  // --at, in the order given; none: a stretch
  double framesPerSecond = kDefaultFramesPerSecond;
  double from = 0;
  std::optional<double> to;  // none: the end of the show
  std::optional<FramePattern> out;
  std::optional<std::string> video;
};

// Adds the options to `app`, written into `options` as they are read; what they ask for
// together is checked once all are read, and refused with a common::Error.
void addOptions(CLI::App& app, CaptureOptions& options);

// The frames of a run, as show times and the numbers their files take; checked against
// the show's length. Throws nothing; an empty list with `error` set for times past the end.
struct FramePlan {
  std::vector<double> times;
  std::vector<int> numbers;
  std::string error;
};
FramePlan planFrames(const CaptureOptions& options, double showLength);

}  // namespace tessarine::capture
