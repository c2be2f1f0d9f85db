// Frame file patterns, and the frames that a run plans for a show of a given length.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "capture/capture_options.h"

namespace tessarine::capture {
namespace {

TEST(FramePattern, FormatsTheNumberAndOnlyTheNumber) {
  const std::tuple<std::string_view, int, std::string> cases[] = {
      {"shots/%05d.png", 42, "shots/00042.png"}, {"%i.png", 123456, "123456.png"},
      {"100%%/%03d%%.png", 5, "100%/005%.png"},
  };
  for (const auto& [text, number, name] : cases) {
    std::string error;
    std::optional<FramePattern> pattern = FramePattern::parse(text, error);
    ASSERT_TRUE(pattern) << text << ": " << error;
    EXPECT_EQ(pattern->format(number), name) << text;
  }
  const char* const kOnly = "may hold only %d, %i or %u";
  const std::pair<const char*, const char*> refused[] = {
      {"shot.png", "holds no frame number"}, {"%d-%d.png", "more than one frame number"}, {"%n.png", kOnly},
      {"%*d.png", kOnly}, {"shot%", kOnly}, {"%099999999999d.png", "field width"}, {"%0+d.png", "not \"+\""},
      {"%-4d.png", "not \"-\""}, {"%3d.png", "pads its frame number with spaces"}};
  for (const auto& [text, reason] : refused) {
    std::string error;
    EXPECT_FALSE(FramePattern::parse(text, error)) << text;
    EXPECT_NE(error.find(reason), std::string::npos) << text << " gave: " << error;
  }
}

CaptureOptions stretch(double fps, double from, std::optional<double> to) {
  CaptureOptions o;
  o.framesPerSecond = fps;
  o.from = from;
  o.to = to;
  return o;
}

// Stretches and past-the-end moments are checked through the program; here the numbers.
TEST(FramePlan, FramesKeepTheirNumbersInTheShowMomentsTheirOrder) {
  // 0.5 s at 10 frames a second is frame 5 of the whole show.
  FramePlan plan = planFrames(stretch(10, 0.5, 0.75), 6);
  EXPECT_EQ(plan.numbers, (std::vector<int>{5, 6, 7}));
  CaptureOptions moments;
  moments.moments = {3, 0.25, 6};
  plan = planFrames(moments, 6);
  EXPECT_EQ(plan.times, (std::vector<double>{3, 0.25, 6}));
  EXPECT_EQ(plan.numbers, (std::vector<int>{0, 1, 2}));
  // A million frames and one: 1000 frames a second for 1000 s.
  EXPECT_NE(planFrames(stretch(1000, 0, std::nullopt), 1000).error.find("more than 1000000 frames"), std::string::npos);
}

}  // namespace
}  // namespace tessarine::capture
