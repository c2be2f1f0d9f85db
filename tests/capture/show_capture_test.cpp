// The show drawn off screen from a fixture show on a surfaceless context: the same
// moment gives the same bytes, a scene's first moments show that scene as the renderer
// draws it, going back to an earlier scene leaves nothing behind; and PNG files as a viewer sees them.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture/png_file.h"
#include "capture/progress_meter.h"
#include "capture/show_capture.h"
#include "capture_fixture.h"
#include "png_decode.h"
#include "support/error_message.h"

namespace tessarine::capture {
namespace {

using testing::kFixtureScenes;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
// 1/64 s: exact in binary, so show and scene clocks agree to the bit.
constexpr double kJustAfter = 1.0 / 64;

// Frames are read bottom row first: byte 0 is the red of the bottom-left pixel, where the
// backdrop shows.
class ShowCaptureTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
  ShowCapture show_{testing::writeFixtureShow(dir_), kWidth, kHeight};
};

TEST_F(ShowCaptureTest, TheSameMomentGivesTheSameBytes) {
  const std::vector<std::uint8_t> first = show_.frameAt(2.3);
  // Frames of other scenes in between, going back to earlier ones, leave nothing behind.
  show_.frameAt(4.6);
  show_.frameAt(0.2);
  EXPECT_EQ(show_.frameAt(2.3), first);
  // The shake is live: a moment later the camera has moved (sin 50 t is far from 0).
  EXPECT_NE(show_.frameAt(2.31), first);
}

TEST_F(ShowCaptureTest, ASceneStartShowsThatScene) {
  for (std::size_t i = 0; i < 6; ++i) {
    const double showTime = testing::kFixtureSceneStarts[i] + kJustAfter;
    const std::vector<std::uint8_t> captured = show_.frameAt(showTime);
    EXPECT_EQ(show_.currentScene(), i);
    EXPECT_EQ(captured[0], kFixtureScenes[i].backdropRed) << i;
  }
}

TEST(PngFile, WritesRgbTopRowFirst) {
  testing::TempDir dir;
  // Three by two, bottom row first as OpenGL reads it; every byte different.
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < 3 * 2 * 4; ++i) rgba.push_back(static_cast<std::uint8_t>(10 + i));
  writePng(dir.str() + "/frame.png", rgba, 3, 2);
  std::optional<testing::DecodedPng> png = testing::decodePng(dir.str() + "/frame.png");
  ASSERT_TRUE(png);
  EXPECT_EQ(std::pair(png->width, png->height), std::pair(3, 2));
  // Top row: the second one read (bytes 22 on), alpha left out.
  const std::vector<std::uint8_t> rgb = {22, 23, 24, 26, 27, 28, 30, 31, 32, 10, 11, 12, 14, 15, 16, 18, 19, 20};
  EXPECT_EQ(png->rgb, rgb);
}

// A device is never renamed over, even by root; full disks are the program test's.
TEST(PngFile, RefusesWrongSizesAndDevices) {
  const std::vector<std::uint8_t> rgba(3 * 2 * 4);
  EXPECT_THROW(writePng("/dev/null", rgba, 2, 2), common::Error);
  EXPECT_THROW(writePng("/dev/full", rgba, 3, 2), common::Error);
}

TEST(ProgressLine, RateAndTimeLeftFromTheFramesSoFar) {
  EXPECT_EQ(progressLine(0, 10, 0), "frame 0 of 10");
  // 120 frames in 5 s: 24 a second; 4200 frames left take 175 s.
  EXPECT_EQ(progressLine(120, 4320, 5), "frame 120 of 4320, 24.0 frames/s, 2:55 left");
  EXPECT_EQ(progressLine(31, 31, 2), "frame 31 of 31, 15.5 frames/s, 0:00 left");
}

}  // namespace
}  // namespace tessarine::capture
