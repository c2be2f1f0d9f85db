// Show time against the scenes' own clocks: where each scene takes over, the boundary
// rule of the frame loop, scenes of no length.
#include "show/show_timeline.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "common/error.h"

namespace tessarine::show {
namespace {

TEST(ShowTimeline, ScenesFollowEachOtherEachOnItsOwnClock) {
  // The fixture show's frame ranges at 30 frames a second.
  ShowTimeline timeline({{0, 1}, {1, 1.5}, {0, 2}, {0.5, 1}, {0, 1}, {0, 1}});
  EXPECT_EQ(timeline.length(), 6);
  EXPECT_EQ(timeline.startOf(2), 1.5);
  EXPECT_EQ(timeline.endOf(2), 3.5);
  // Show time, scene, scene time.
  const std::tuple<double, std::size_t, double> cases[] = {
      {0, 0, 0},
      {1, 0, 1},        // on the end time the scene is drawn once more
      {1.25, 1, 1.25},  // S2 starts at its own start time, 1 s
      {1.75, 2, 0.25},
      {3.75, 3, 0.75},  // S4's clock starts at 0.5
      {4, 3, 1}, {6, 5, 1},
      {6.5, 5, 1.5},  // past the end the last scene is kept
  };
  for (const auto& [showTime, scene, sceneTime] : cases) {
    ShowPosition at = timeline.locate(showTime);
    EXPECT_EQ(at.scene, scene) << showTime;
    EXPECT_DOUBLE_EQ(at.sceneTime, sceneTime) << showTime;
  }
}

TEST(ShowTimeline, ASceneWithoutLengthTakesNoShowTime) {
  // The frame loop draws such a scene for one frame only; a capture has no frame for it.
  for (SceneSpan empty : {SceneSpan{2, 2}, SceneSpan{3, 2}}) {
    ShowTimeline timeline({{0, 1}, empty, {0, 1}});
    EXPECT_EQ(timeline.length(), 2);
    EXPECT_EQ(timeline.locate(1).scene, 0u);
    EXPECT_EQ(timeline.locate(1.25).scene, 2u);
    EXPECT_EQ(timeline.locate(1.25).sceneTime, 0.25);
  }
}

TEST(ShowTimeline, RefusesNoScenesAndEndlessOnes) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  EXPECT_THROW(ShowTimeline({}), common::Error);
  EXPECT_THROW(ShowTimeline({{0, 1}, {0, kInfinity}}), common::Error);
  EXPECT_THROW(ShowTimeline({{std::numeric_limits<double>::quiet_NaN(), 1}}), common::Error);
  EXPECT_THROW(ShowTimeline({{0, 1e308}, {-1e308, 1e308}}), common::Error);
}

}  // namespace
}  // namespace tessarine::show
