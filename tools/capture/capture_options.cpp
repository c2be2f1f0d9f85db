// tessarine-capture's options read with CLI11 and checked together once all are read; the
// frames a run plans, each keeping its number in the whole show at the chosen rate.
#include "capture/capture_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>

#include "cli/command_line.h"
#include "common/error.h"
#include "show/play_list.h"
#include "show/show_location.h"

namespace tessarine::capture {

namespace {

constexpr const char* kDescription =
    "Draws the show off screen, without a display, into numbered PNG files or a video with the music. Show time "
    "runs from 0 at the start of the first scene through every scene in order.";

// The shortest decimal that reads back as `value`: what was typed, however many digits
// it took to say it was past the end.
std::string seconds(double value) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
}

std::optional<int> parseSide(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end || value < 1 || value > kMaxSide) return std::nullopt;
  return value;
}

// WIDTHxHEIGHT, each side 1 to kMaxSide.
std::optional<std::pair<int, int>> parseSize(std::string_view text) {
  std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  std::optional<int> width = parseSide(text.substr(0, x)), height = parseSide(text.substr(x + 1));
  if (!width || !height) return std::nullopt;
  return std::pair(*width, *height);
}

CLI::Validator size() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        if (parseSize(text)) return {};
        return "expected WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxSide) + ", not \"" + text + "\"";
      },
      "");
}

CLI::Validator framePattern() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        std::string error;
        return FramePattern::parse(text, error) ? "" : error;
      },
      "");
}

CLI::Validator showTime() { return cli::number("seconds from 0 up", [](double value) { return value >= 0; }); }

// What the options cannot ask for together.
void checkTogether(const CLI::App& app, const CaptureOptions& options) {
  const bool stretch = app.count("--fps") + app.count("--from") + app.count("--to") > 0;
  if (!options.moments.empty() && stretch) throw common::Error("--at cannot be combined with --fps, --from or --to");
  if (!options.moments.empty() && options.video) throw common::Error("--video needs a stretch of frames, not --at");
  if (!options.out && !options.video) throw common::Error("nothing to write: give --out PATTERN, --video FILE or both");
  if (options.to && *options.to < options.from) throw common::Error("--to comes before --from");
  if (options.video && (options.width % 2 != 0 || options.height % 2 != 0)) {
    throw common::Error("--video needs an even width and height");
  }
}

}  // namespace

void addOptions(CLI::App& app, CaptureOptions& options) {
  app.description(kDescription);
  app.add_option("SHOW_DIR", options.showDirectory,
                 "The show's folder; without it the working directory when it holds " + std::string(show::kDataDirectory) +
                     ", else the installed show. Or a LightWave scene or object file, captured on its own")
      ->type_name("DIR|FILE");
  app.add_option("--content", options.contentFolders,
         "Where the objects and images a LightWave file names are looked for (repeatable); by default its own "
         "folder and those above it")
      ->type_name("DIR")
      ->allow_extra_args(false);
  app.add_option("--data", options.dataDirectory,
                 "The scenes, objects and images (default: " + std::string(show::kDataDirectory) + " in the show)")
      ->type_name("DIR");
  app.add_option("--music", options.musicFile,
                 "The music of the video (default: " + std::string(show::kMusicFile) +
                     " in the show, or in the working directory with --data alone)")
      ->type_name("FILE");
  app.add_option_function<std::string>(
         "--size", [&options](const std::string& text) { std::tie(options.width, options.height) = *parseSize(text); },
         "The picture size (default " + std::to_string(kDefaultWidth) + "x" + std::to_string(kDefaultHeight) + ")")
      ->type_name("WxH")
      ->check(size());
  app.add_option("--at", options.moments, "One frame at this show time; may be given again")
      ->type_name("SECONDS")
      ->allow_extra_args(false)
      ->check(showTime());
  app.add_option("--fps", options.framesPerSecond, "Frames per second of a stretch")
      ->type_name("N")
      ->capture_default_str()
      ->check(cli::number("a rate above 0 and up to " + std::to_string(static_cast<int>(kMaxFramesPerSecond)),
                          [](double rate) { return rate > 0 && rate <= kMaxFramesPerSecond; }));
  app.add_option("--from", options.from, "The stretch's first moment")
      ->type_name("S")
      ->capture_default_str()
      ->check(showTime());
  app.add_option_function<double>(
         "--to", [&options](double to) { options.to = to; }, "Its last moment (default the end of the show)")
      ->type_name("S")
      ->check(showTime());
  app.add_option_function<std::string>(
         "--out",
         [&options](const std::string& text) {
           std::string unused;  // the validator has refused what does not parse
           options.out = FramePattern::parse(text, unused);
         },
         "PNG files, the pattern taking the frame number: shots/%05d.png")
      ->type_name("PATTERN")
      ->check(framePattern());
  app.add_option_function<std::string>(
         "--video", [&options](const std::string& file) { options.video = file; },
         "An H.264 MP4 video with the music (needs ffmpeg)")
      ->type_name("FILE")
      ->check(CLI::Validator([](std::string& file) { return file.empty() ? "expected a file name" : ""; }, ""));
  app.callback([&app, &options] {
    checkTogether(app, options);
    std::error_code ignored;
    if (options.showDirectory && std::filesystem::is_regular_file(*options.showDirectory, ignored)) {
      if (app.count("--data") != 0) throw common::Error("--data goes with a show, not a LightWave file");
      options.lightWave = show::LightWaveContent{.path = *options.showDirectory, .contentFolders = options.contentFolders};
      return;
    }
    if (app.count("--content") != 0) throw common::Error("--content goes with a LightWave file");
    // --data without SHOW_DIR reads the music from the working directory, as it always has.
    const bool dataAlone = app.count("--data") > 0 && !options.showDirectory;
    const show::ShowLocation location = show::findShow(options.showDirectory);
    if (app.count("--data") == 0) options.dataDirectory = location.dataDirectory;
    if (app.count("--music") == 0) options.musicFile = dataAlone ? std::string(show::kMusicFile) : location.musicFile;
  });
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
