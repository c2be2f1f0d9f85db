#include "capture/capture_options.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "show/play_list.h"

namespace tessarine::capture {

const char* const kUsage =
    "usage: tessarine-capture [--data DIR] [--music FILE] [--size WxH] [--at SECONDS]...\n"
    "                         [--fps N] [--from S] [--to S] [--out PATTERN] [--video FILE]\n"
    "Draws the show off screen. Show time runs from 0 at the start of the first scene\n"
    "through every scene in order.\n"
    "  --data DIR      the scenes, objects and images (default Data)\n"
    "  --music FILE    the music of the video (default THREE.mp3)\n"
    "  --size WxH      the picture size (default 1280x720)\n"
    "  --at SECONDS    one frame at this show time; may be given again\n"
    "  --fps N         frames per second of a stretch (default 30)\n"
    "  --from S        the stretch's first moment (default 0)\n"
    "  --to S          its last moment (default the end of the show)\n"
    "  --out PATTERN   PNG files, the pattern taking the frame number: shots/%05d.png\n"
    "  --video FILE    an H.264 MP4 video with the music (needs ffmpeg)\n";

namespace {

std::optional<double> parseNumber(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string seconds(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::optional<int> parseSide(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end || value < 1 || value > kMaxSide) return std::nullopt;
  return value;
}

struct Parser {
  CaptureOptions options;
  bool stretchGiven = false;
  std::string error;

  bool fail(std::string message) {
    error = std::move(message);
    return false;
  }

  bool time(std::string_view name, std::string_view text, double& into) {
    std::optional<double> value = parseNumber(text);
    if (!value || *value < 0) return fail(std::string(name) + " takes seconds from 0 up, not \"" + std::string(text) + "\"");
    into = *value;
    return true;
  }

  bool option(std::string_view name, std::string_view value) {
    if (name == "--data") {
      options.dataDirectory = value;
    } else if (name == "--music") {
      options.musicFile = value;
    } else if (name == "--size") {
      std::size_t x = value.find_first_of("xX");
      std::optional<int> width = x == std::string_view::npos ? std::nullopt : parseSide(value.substr(0, x));
      std::optional<int> height = x == std::string_view::npos ? std::nullopt : parseSide(value.substr(x + 1));
      if (!width || !height) {
        return fail("--size takes WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxSide) + ", not \"" +
                    std::string(value) + "\"");
      }
      options.width = *width;
      options.height = *height;
    } else if (name == "--at") {
      double moment = 0;
      if (!time(name, value, moment)) return false;
      options.moments.push_back(moment);
    } else if (name == "--fps") {
      std::optional<double> rate = parseNumber(value);
      if (!rate || *rate <= 0 || *rate > kMaxFramesPerSecond) {
        return fail("--fps takes a rate above 0 and up to " + std::to_string(static_cast<int>(kMaxFramesPerSecond)) +
                    ", not \"" + std::string(value) + "\"");
      }
      options.framesPerSecond = *rate;
      stretchGiven = true;
    } else if (name == "--from") {
      if (!time(name, value, options.from)) return false;
      stretchGiven = true;
    } else if (name == "--to") {
      double to = 0;
      if (!time(name, value, to)) return false;
      options.to = to;
      stretchGiven = true;
    } else if (name == "--out") {
      std::string patternError;
      options.out = FramePattern::parse(value, patternError);
      if (!options.out) return fail("--out: " + patternError);
    } else if (name == "--video") {
      if (value.empty()) return fail("--video takes a file name");
      options.video = value;
    } else {
      return fail("unknown option \"" + std::string(name) + "\"");
    }
    return true;
  }

  bool checkTogether() {
    if (!options.moments.empty() && stretchGiven) return fail("--at cannot be combined with --fps, --from or --to");
    if (!options.moments.empty() && options.video) return fail("--video needs a stretch of frames, not --at");
    if (!options.out && !options.video) return fail("nothing to write: give --out PATTERN, --video FILE or both");
    if (options.to && *options.to < options.from) return fail("--to comes before --from");
    if (options.video && (options.width % 2 != 0 || options.height % 2 != 0)) {
      return fail("--video needs an even width and height");
    }
    return true;
  }
};

}  // namespace

ParsedOptions parseOptions(std::span<const std::string_view> arguments) {
  Parser parser;
  parser.options.dataDirectory = show::kDataDirectory;
  parser.options.musicFile = show::kMusicFile;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") return {};
    if (argument.substr(0, 2) != "--") return {std::nullopt, "unexpected argument \"" + std::string(argument) + "\""};
    std::string_view name = argument, value;
    if (std::size_t equals = argument.find('='); equals != std::string_view::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      return {std::nullopt, std::string(argument) + " needs a value"};
    }
    if (!parser.option(name, value)) return {std::nullopt, parser.error};
  }
  if (!parser.checkTogether()) return {std::nullopt, parser.error};
  return {std::move(parser.options), ""};
}

FramePlan planFrames(const CaptureOptions& options, double showLength) {
  FramePlan plan;
  auto pastTheEnd = [&](const char* what, double moment) {
    plan.error = std::string(what) + " " + seconds(moment) + " is past the end of the show at " +
                 seconds(showLength) + " s";
  };
  if (!options.moments.empty()) {
    for (double moment : options.moments) {
      if (moment > showLength) {
        pastTheEnd("--at", moment);
        return {{}, {}, plan.error};
      }
    }
    plan.times = options.moments;
    for (std::size_t i = 0; i < plan.times.size(); ++i) plan.numbers.push_back(static_cast<int>(i));
    return plan;
  }
  const double to = options.to.value_or(showLength);
  if (options.from > showLength) {
    pastTheEnd("--from", options.from);
    return plan;
  }
  if (to > showLength) {
    pastTheEnd("--to", to);
    return plan;
  }
  // A frame every 1 / fps from --from, the last one at or before --to; the small margin
  // keeps a stretch of exactly n frame times from losing its last frame to rounding.
  constexpr double kMargin = 1e-9;
  const double count = std::floor((to - options.from) * options.framesPerSecond + kMargin) + 1;
  if (count > static_cast<double>(kMaxFrames)) {
    plan.error = "the stretch has more than " + std::to_string(kMaxFrames) + " frames";
    return plan;
  }
  // Frames keep the numbers they have in the whole show at this rate.
  const double firstNumber = std::round(options.from * options.framesPerSecond);
  if (firstNumber + count > static_cast<double>(std::numeric_limits<int>::max())) {
    plan.error = "the frame numbers of the stretch go past " + std::to_string(std::numeric_limits<int>::max());
    return plan;
  }
  const auto first = static_cast<long long>(firstNumber);
  const auto frames = static_cast<std::size_t>(count);
  plan.times.reserve(frames);
  plan.numbers.reserve(frames);
  for (std::size_t k = 0; k < frames; ++k) {
    plan.times.push_back(options.from + static_cast<double>(k) / options.framesPerSecond);
    plan.numbers.push_back(static_cast<int>(first + static_cast<long long>(k)));
  }
  return plan;
}

}  // namespace tessarine::capture
