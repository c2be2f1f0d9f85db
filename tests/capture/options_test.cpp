// The command line: refusals with their reasons, what a good one sets, frame file
// patterns, and the frames that a run plans for a show of a given length.
#include <gtest/gtest.h>

#include <ranges>
#include <string>
#include <tuple>
#include <vector>

#include "capture/capture_options.h"

namespace tessarine::capture {
namespace {

using namespace std::string_literals;

// Parses a command line of words split at blanks.
ParsedOptions parse(std::string_view commandLine) {
  std::vector<std::string_view> arguments;
  for (auto word : std::views::split(commandLine, ' ')) {
    if (!word.empty()) arguments.emplace_back(word.begin(), word.end());
  }
  return parseOptions(arguments);
}

TEST(CaptureOptions, RefusesBadCommandLinesWithTheReason) {
  const char* const kSize = "--size takes WIDTHxHEIGHT";
  const char* const kAt = "--at takes seconds from 0 up";
  const char* const kOnly = "may hold only %d, %i or %u";
  const std::pair<const char*, const char*> cases[] = {
      {"", "nothing to write"}, {"--at 1", "nothing to write"}, {"--out", "--out needs a value"},
      {"--colour red --out %d.png", "unknown option \"--colour\""},
      {"shots --out %d.png", "unexpected argument \"shots\""},
      {"--size 0x10 --out %d.png", kSize}, {"--size 640 --out %d.png", kSize}, {"--size 640x --out %d.png", kSize},
      {"--size 8193x10 --out %d.png", kSize}, {"--size -5x10 --out %d.png", kSize},
      {"--at -1 --out %d.png", kAt}, {"--at 1s --out %d.png", kAt}, {"--at nan --out %d.png", kAt},
      {"--to inf --out %d.png", "--to takes seconds from 0 up"},
      {"--fps 0 --out %d.png", "--fps takes a rate above 0"}, {"--fps 1001 --out %d.png", "--fps takes a rate above 0"},
      {"--from 2 --to 1 --out %d.png", "--to comes before --from"},
      {"--at 1 --fps 30 --out %d.png", "--at cannot be combined"},
      {"--from 1 --at 1 --out %d.png", "--at cannot be combined"},
      {"--at 1 --video show.mp4", "--video needs a stretch"},
      {"--size 641x360 --video show.mp4", "--video needs an even width and height"},
      {"--video=", "--video takes a file name"},
      {"--out shot.png", "holds no frame number"}, {"--out %d-%d.png", "more than one frame number"},
      {"--out %s.png", kOnly}, {"--out %n.png", kOnly}, {"--out %ld.png", kOnly}, {"--out %*d.png", kOnly},
      {"--out %.3d.png", kOnly}, {"--out shot%", kOnly}, {"--out %099999999999d.png", "field width"},
  };
  for (const auto& [commandLine, reason] : cases) {
    ParsedOptions parsed = parse(commandLine);
    EXPECT_FALSE(parsed.options) << commandLine;
    EXPECT_NE(parsed.error.find(reason), std::string::npos) << commandLine << " gave: " << parsed.error;
  }
  for (const char* help : {"--out %d.png --help", "--out %d.png -h"}) {
    EXPECT_FALSE(parse(help).options);
    EXPECT_EQ(parse(help).error, "") << "help is no error";
  }
}

TEST(CaptureOptions, DefaultsAreThoseOfThePlayerAndEveryOptionInBothSpellings) {
  ParsedOptions parsed = parse("--out %d.png");
  ASSERT_TRUE(parsed.options) << parsed.error;
  const CaptureOptions& d = *parsed.options;
  EXPECT_EQ(std::tie(d.dataDirectory, d.musicFile, d.width, d.height, d.framesPerSecond, d.from),
            std::make_tuple("Data"s, "THREE.mp3"s, 1280, 720, 30.0, 0.0));
  EXPECT_TRUE(d.moments.empty() && !d.to && !d.video);

  parsed = parse("--data show/Data --music=song.mp3 --size 640x360 --fps=24 --from 1.5 --to=2.25 --out f/%04d.png "
                 "--video v.mp4");
  ASSERT_TRUE(parsed.options) << parsed.error;
  const CaptureOptions& o = *parsed.options;
  EXPECT_EQ(std::tie(o.dataDirectory, o.musicFile, o.width, o.height, o.framesPerSecond, o.from),
            std::make_tuple("show/Data"s, "song.mp3"s, 640, 360, 24.0, 1.5));
  EXPECT_EQ(o.to, 2.25);
  EXPECT_EQ(o.out.value().format(7), "f/0007.png");
  EXPECT_EQ(o.video, "v.mp4");
  EXPECT_EQ(parse("--at 2 --at 0.5 --out %d.png").options.value().moments, (std::vector<double>{2, 0.5}));
}

TEST(FramePattern, FormatsTheNumberAndOnlyTheNumber) {
  const std::tuple<std::string_view, int, std::string> cases[] = {
      {"shots/%05d.png", 42, "shots/00042.png"}, {"%d", 0, "0"}, {"%i.png", 123456, "123456.png"},
      {"%u.png", 7, "7.png"}, {"%-4d|.png", 7, "7   |.png"}, {"100%%/%3d%%.png", 5, "100%/  5%.png"},
      {"%032d", 1, std::string(31, '0') + "1"},
  };
  for (const auto& [text, number, name] : cases) {
    std::string error;
    std::optional<FramePattern> pattern = FramePattern::parse(text, error);
    ASSERT_TRUE(pattern) << text << ": " << error;
    EXPECT_EQ(pattern->format(number), name) << text;
  }
}

CaptureOptions stretch(double fps, double from, std::optional<double> to) {
  CaptureOptions o;
  o.framesPerSecond = fps;
  o.from = from;
  o.to = to;
  return o;
}

TEST(FramePlan, AStretchHasAFrameEveryStepMomentsComeInTheirOrder) {
  // 0 to 1 s at 30: frames at 0, 1/30, ..., 30/30, both ends included.
  FramePlan plan = planFrames(stretch(30, 0, 1.0), 6);
  ASSERT_TRUE(plan.error.empty()) << plan.error;
  ASSERT_EQ(plan.times.size(), 31u);
  EXPECT_EQ(plan.times[0], 0);
  EXPECT_DOUBLE_EQ(plan.times[15], 0.5);
  EXPECT_DOUBLE_EQ(plan.times[30], 1.0);
  EXPECT_EQ(plan.numbers.back(), 30);
  // Frames keep their numbers in the whole show: 0.5 s at 10 frames a second is frame 5.
  plan = planFrames(stretch(10, 0.5, 0.75), 6);
  EXPECT_EQ(plan.numbers, (std::vector<int>{5, 6, 7}));
  EXPECT_DOUBLE_EQ(plan.times.back(), 0.7);
  // Without --to, to the end of the show: 0 to 6 s at 2 frames a second.
  EXPECT_EQ(planFrames(stretch(2, 0, std::nullopt), 6).times.size(), 13u);
  // A stretch of no length is one frame.
  EXPECT_EQ(planFrames(stretch(30, 6, 6.0), 6).times, (std::vector<double>{6}));

  CaptureOptions moments;
  moments.moments = {3, 0.25, 6};
  plan = planFrames(moments, 6);
  EXPECT_EQ(plan.times, (std::vector<double>{3, 0.25, 6}));
  EXPECT_EQ(plan.numbers, (std::vector<int>{0, 1, 2}));
}

TEST(FramePlan, TimesPastTheEndOfTheShowAreRefused) {
  CaptureOptions moments;
  moments.moments = {1, 6.5};
  EXPECT_EQ(planFrames(moments, 6).error, "--at 6.5 is past the end of the show at 6 s");
  EXPECT_TRUE(planFrames(moments, 6).times.empty());
  EXPECT_EQ(planFrames(stretch(30, 0, 7.0), 6).error, "--to 7 is past the end of the show at 6 s");
  EXPECT_EQ(planFrames(stretch(30, 8, std::nullopt), 6).error, "--from 8 is past the end of the show at 6 s");
  // A million frames and one: 1000 frames a second for 1000 s.
  EXPECT_NE(planFrames(stretch(1000, 0, std::nullopt), 1000).error.find("more than 1000000 frames"),
            std::string::npos);
}

}  // namespace
}  // namespace tessarine::capture
