// The show drawn off screen from a fixture show on a surfaceless context: the same
// moment gives the same bytes, a scene's first moments show that scene as the renderer
// draws it, boundaries follow the frame loop; and PNG files as a viewer sees them.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture/png_file.h"
#include "capture/show_capture.h"
#include "capture_fixture.h"
#include "common/error.h"
#include "png_decode.h"
#include "render/activation.h"
#include "render/scene_renderer.h"

namespace tessarine::capture {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
// 1/64 s: exact in binary, so show and scene clocks agree to the bit.
constexpr double kJustAfter = 1.0 / 64;

class ShowCaptureTest : public ::testing::Test {
 protected:
  ShowCaptureTest() { testing::writeFixtureShow(dir_); }

  // The red of the bottom-left pixel, where the backdrop shows.
  static int cornerRed(const std::vector<std::uint8_t>& rgba) { return rgba[0]; }

  testing::TempDir dir_;
};

TEST_F(ShowCaptureTest, ReadsThePlayListIntoOneTimeline) {
  ShowCapture show(dir_.str(), kWidth, kHeight);
  EXPECT_EQ(show.timeline().sceneCount(), 6u);
  EXPECT_DOUBLE_EQ(show.timeline().length(), testing::kFixtureShowLength);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_DOUBLE_EQ(show.timeline().startOf(i), testing::kFixtureSceneStarts[i]) << i;
    EXPECT_EQ(show.scene(i).fileName, app::kPlayList[i].fileName);
    EXPECT_EQ(show.scene(i).nearPlane, app::kPlayList[i].nearPlane);
  }
  EXPECT_FLOAT_EQ(show.sequence().context().aspect, 4.0f / 3.0f);
  // One square shared by all six scenes.
  EXPECT_EQ(show.sequence().context().meshes.size(), 1u);
}

TEST_F(ShowCaptureTest, TheSameMomentGivesTheSameBytes) {
  ShowCapture show(dir_.str(), kWidth, kHeight);
  const std::vector<std::uint8_t> first = show.frameAt(2.3);
  // Frames of other scenes in between leave nothing behind.
  show.frameAt(4.6);
  show.frameAt(0.2);
  EXPECT_EQ(show.frameAt(2.3), first);
  // The shake is live: a moment later the camera has moved (sin 50 t is far from 0).
  EXPECT_NE(show.frameAt(2.31), first);
}

TEST_F(ShowCaptureTest, ASceneStartShowsThatSceneAsTheRendererDrawsIt) {
  ShowCapture show(dir_.str(), kWidth, kHeight);
  for (std::size_t i = 0; i < 6; ++i) {
    const double showTime = testing::kFixtureSceneStarts[i] + kJustAfter;
    const std::vector<std::uint8_t> captured = show.frameAt(showTime);
    EXPECT_EQ(show.currentScene(), i);
    EXPECT_EQ(cornerRed(captured), testing::kFixtureScenes[i].backdropRed) << i;

    // The renderer on the same context, the scene activated by hand and drawn at its own
    // clock's start plus the same moment, with the same shake.
    scene::Scene& s = show.scene(i);
    render::activate(s);
    std::srand(shakeSeedFor(showTime));
    render::render(s, static_cast<float>(s.startTime + kJustAfter));
    EXPECT_EQ(show.readPixels(), captured) << app::kPlayList[i].fileName;
  }
}

TEST_F(ShowCaptureTest, ABoundaryBelongsToTheSceneThatEndsThere) {
  ShowCapture show(dir_.str(), kWidth, kHeight);
  EXPECT_EQ(cornerRed(show.frameAt(1.0)), testing::kFixtureScenes[0].backdropRed);
  EXPECT_EQ(cornerRed(show.frameAt(3.5)), testing::kFixtureScenes[2].backdropRed);
  EXPECT_EQ(cornerRed(show.frameAt(3.5 + kJustAfter)), testing::kFixtureScenes[3].backdropRed);
  EXPECT_EQ(cornerRed(show.frameAt(6.0)), testing::kFixtureScenes[5].backdropRed);
  // Going back activates the earlier scene again.
  EXPECT_EQ(cornerRed(show.frameAt(0)), testing::kFixtureScenes[0].backdropRed);
}

TEST_F(ShowCaptureTest, AMissingSceneGivesTheReadersMessage) {
  std::filesystem::remove(dir_.path() / "S4b.lws");
  try {
    ShowCapture show(dir_.str(), kWidth, kHeight);
    FAIL() << "loaded a show without S4b.lws";
  } catch (const common::Error& e) {
    EXPECT_EQ(e.message(), "I can't open file " + dir_.str() + "/S4b.lws as rt");
  }
}

TEST(PngFile, WritesRgbTopRowFirst) {
  testing::TempDir dir;
  // Three by two, bottom row first as OpenGL reads it; every byte different.
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < 3 * 2 * 4; ++i) rgba.push_back(static_cast<std::uint8_t>(10 + i));
  const std::string path = (dir.path() / "frame.png").string();
  writePng(path, rgba, 3, 2);
  testing::DecodedPng png = testing::decodePng(path);
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.width, 3);
  EXPECT_EQ(png.height, 2);
  // Top row: the second one read (bytes 22 on), alpha left out.
  const std::vector<std::uint8_t> expected = {22, 23, 24, 26, 27, 28, 30, 31, 32, 10, 11, 12, 14, 15, 16, 18, 19, 20};
  EXPECT_EQ(png.rgb, expected);
}

TEST(PngFile, RefusesWrongSizesAndUnwritablePlaces) {
  testing::TempDir dir;
  const std::vector<std::uint8_t> rgba(3 * 2 * 4);
  const std::string path = (dir.path() / "frame.png").string();
  EXPECT_THROW(writePng(path, rgba, 2, 2), common::Error);
  EXPECT_THROW(writePng(path, rgba, 3, 3), common::Error);
  EXPECT_THROW(writePng(path, rgba, 0, 2), common::Error);
  EXPECT_FALSE(std::filesystem::exists(path));
  const std::string nowhere = (dir.path() / "no" / "frame.png").string();
  try {
    writePng(nowhere, rgba, 3, 2);
    FAIL() << "wrote into a missing folder";
  } catch (const common::Error& e) {
    EXPECT_EQ(e.message(), "I can't open file " + nowhere + " as wb");
  }
  // A full disk: the frame does not fit and the failure is not passed over.
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_THROW(writePng("/dev/full", rgba, 3, 2), common::Error);
  }
}

}  // namespace
}  // namespace tessarine::capture
