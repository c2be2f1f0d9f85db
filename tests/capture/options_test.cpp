// The command line: refusals with their reasons, what a good one sets, frame file
// patterns, and the frames that a run plans for a show of a given length.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/capture_options.h"

namespace tessarine::capture {
namespace {

ParsedOptions parse(const std::vector<std::string_view>& arguments) { return parseOptions(arguments); }

TEST(CaptureOptions, RefusesBadCommandLinesWithTheReason) {
  struct Case {
    std::vector<std::string_view> arguments;
    std::string reason;  // a part of the message
  };
  const std::vector<Case> cases = {
      {{}, "nothing to write"},
      {{"--at", "1"}, "nothing to write"},
      {{"--out"}, "--out needs a value"},
      {{"--colour", "red", "--out", "%d.png"}, "unknown option \"--colour\""},
      {{"shots", "--out", "%d.png"}, "unexpected argument \"shots\""},
      {{"--size", "0x10", "--out", "%d.png"}, "--size takes WIDTHxHEIGHT"},
      {{"--size", "640", "--out", "%d.png"}, "--size takes WIDTHxHEIGHT"},
      {{"--size", "640x", "--out", "%d.png"}, "--size takes WIDTHxHEIGHT"},
      {{"--size", "8193x10", "--out", "%d.png"}, "--size takes WIDTHxHEIGHT"},
      {{"--size", "-5x10", "--out", "%d.png"}, "--size takes WIDTHxHEIGHT"},
      {{"--at", "-1", "--out", "%d.png"}, "--at takes seconds from 0 up"},
      {{"--at", "1s", "--out", "%d.png"}, "--at takes seconds from 0 up"},
      {{"--at", "nan", "--out", "%d.png"}, "--at takes seconds from 0 up"},
      {{"--to", "inf", "--out", "%d.png"}, "--to takes seconds from 0 up"},
      {{"--fps", "0", "--out", "%d.png"}, "--fps takes a rate above 0"},
      {{"--fps", "1001", "--out", "%d.png"}, "--fps takes a rate above 0"},
      {{"--from", "2", "--to", "1", "--out", "%d.png"}, "--to comes before --from"},
      {{"--at", "1", "--fps", "30", "--out", "%d.png"}, "--at cannot be combined"},
      {{"--from", "1", "--at", "1", "--out", "%d.png"}, "--at cannot be combined"},
      {{"--at", "1", "--video", "show.mp4"}, "--video needs a stretch"},
      {{"--size", "641x360", "--video", "show.mp4"}, "--video needs an even width and height"},
      {{"--video="}, "--video takes a file name"},
      {{"--out", "shot.png"}, "holds no frame number"},
      {{"--out", "%d-%d.png"}, "more than one frame number"},
      {{"--out", "%s.png"}, "may hold only %d, %i or %u"},
      {{"--out", "%n.png"}, "may hold only %d, %i or %u"},
      {{"--out", "%ld.png"}, "may hold only %d, %i or %u"},
      {{"--out", "%*d.png"}, "may hold only %d, %i or %u"},
      {{"--out", "%.3d.png"}, "may hold only %d, %i or %u"},
      {{"--out", "shot%"}, "may hold only %d, %i or %u"},
      {{"--out", "%099999999999d.png"}, "field width"},
  };
  for (const Case& c : cases) {
    ParsedOptions parsed = parse(c.arguments);
    std::string shown;
    for (std::string_view a : c.arguments) shown += std::string(a) + " ";
    EXPECT_FALSE(parsed.options) << shown;
    EXPECT_NE(parsed.error.find(c.reason), std::string::npos) << shown << "gave: " << parsed.error;
  }
}

TEST(CaptureOptions, HelpIsNoError) {
  for (std::string_view help : {"--help", "-h"}) {
    ParsedOptions parsed = parse({"--out", "%d.png", help});
    EXPECT_FALSE(parsed.options);
    EXPECT_TRUE(parsed.error.empty());
  }
}

TEST(CaptureOptions, DefaultsAreThoseOfThePlayer) {
  ParsedOptions parsed = parse({"--out", "%d.png"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const CaptureOptions& o = *parsed.options;
  EXPECT_EQ(o.dataDirectory, "Data");
  EXPECT_EQ(o.musicFile, "THREE.mp3");
  EXPECT_EQ(o.width, 1280);
  EXPECT_EQ(o.height, 720);
  EXPECT_TRUE(o.moments.empty());
  EXPECT_EQ(o.framesPerSecond, 30);
  EXPECT_EQ(o.from, 0);
  EXPECT_FALSE(o.to);
  EXPECT_FALSE(o.video);
}

TEST(CaptureOptions, EveryOptionInBothSpellings) {
  ParsedOptions parsed = parse({"--data", "show/Data", "--music=song.mp3", "--size", "640x360", "--fps=24",
                                "--from", "1.5", "--to=2.25", "--out", "f/%04d.png", "--video", "v.mp4"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const CaptureOptions& o = *parsed.options;
  EXPECT_EQ(o.dataDirectory, "show/Data");
  EXPECT_EQ(o.musicFile, "song.mp3");
  EXPECT_EQ(o.width, 640);
  EXPECT_EQ(o.height, 360);
  EXPECT_EQ(o.framesPerSecond, 24);
  EXPECT_EQ(o.from, 1.5);
  EXPECT_EQ(o.to, 2.25);
  ASSERT_TRUE(o.out);
  EXPECT_EQ(o.out->format(7), "f/0007.png");
  EXPECT_EQ(o.video, "v.mp4");

  parsed = parse({"--at", "2", "--at", "0.5", "--out", "%d.png"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->moments, (std::vector<double>{2, 0.5}));
}

TEST(FramePattern, FormatsTheNumberAndOnlyTheNumber) {
  struct Case {
    std::string_view pattern;
    int number;
    std::string name;
  };
  const std::vector<Case> cases = {
      {"shots/%05d.png", 42, "shots/00042.png"},
      {"%d", 0, "0"},
      {"%i.png", 123456, "123456.png"},
      {"%u.png", 7, "7.png"},
      {"%-4d|.png", 7, "7   |.png"},
      {"100%%/%3d%%.png", 5, "100%/  5%.png"},
      {"%032d", 1, std::string(31, '0') + "1"},
  };
  for (const Case& c : cases) {
    std::string error;
    std::optional<FramePattern> pattern = FramePattern::parse(c.pattern, error);
    ASSERT_TRUE(pattern) << c.pattern << ": " << error;
    EXPECT_EQ(pattern->format(c.number), c.name) << c.pattern;
  }
}

CaptureOptions stretch(double fps, double from, std::optional<double> to) {
  CaptureOptions o;
  o.framesPerSecond = fps;
  o.from = from;
  o.to = to;
  return o;
}

TEST(FramePlan, AStretchHasAFrameEveryStepFromItsStartToItsEnd) {
  // 0 to 1 s at 30: frames at 0, 1/30, ..., 30/30, both ends included.
  FramePlan plan = planFrames(stretch(30, 0, 1.0), 6);
  ASSERT_TRUE(plan.error.empty()) << plan.error;
  ASSERT_EQ(plan.times.size(), 31u);
  EXPECT_EQ(plan.times[0], 0);
  EXPECT_DOUBLE_EQ(plan.times[15], 0.5);
  EXPECT_DOUBLE_EQ(plan.times[30], 1.0);
  EXPECT_EQ(plan.numbers.front(), 0);
  EXPECT_EQ(plan.numbers.back(), 30);

  // Frames keep their numbers in the whole show: 0.5 s at 10 frames a second is frame 5.
  plan = planFrames(stretch(10, 0.5, 0.75), 6);
  EXPECT_EQ(plan.numbers, (std::vector<int>{5, 6, 7}));
  EXPECT_DOUBLE_EQ(plan.times.back(), 0.7);

  // Without --to, to the end of the show: 0 to 6 s at 2 frames a second.
  plan = planFrames(stretch(2, 0, std::nullopt), 6);
  EXPECT_EQ(plan.times.size(), 13u);
  EXPECT_EQ(plan.times.back(), 6);

  // A stretch of no length is one frame.
  plan = planFrames(stretch(30, 6, 6.0), 6);
  EXPECT_EQ(plan.times, (std::vector<double>{6}));
}

TEST(FramePlan, MomentsInTheirOrderNumberedFromZero) {
  CaptureOptions o;
  o.moments = {3, 0.25, 6};
  FramePlan plan = planFrames(o, 6);
  ASSERT_TRUE(plan.error.empty()) << plan.error;
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
