// The generated show read back and drawn by the player's own loader and renderer, loaded
// once for the whole program: lengths that match the timeline, polygon budgets, smooth
// keys, the same bytes on every run, and a frame every two seconds of every scene that
// shows something.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "capture/show_capture.h"
#include "scene/scene.h"
#include "showgen/storyboard.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "timeline/timeline.h"

namespace tessarine::showgen {
namespace {

// Polygons the software renderer can draw every frame at a watchable rate.
constexpr std::size_t kMaxPolygonsPerFrame = 40000;

// The show the build generated.
const std::filesystem::path kShowData = TESSARINE_SHOW_DATA;
constexpr int kWidth = 160;
constexpr int kHeight = 120;

class GeneratedShow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    show_ = std::make_unique<capture::ShowCapture>(kShowData, kWidth, kHeight);
  }
  static void TearDownTestSuite() { show_.reset(); }

  static scene::Scene& scene(std::size_t i) { return show_->scene(i); }
  static std::size_t sceneCount() { return show_->show().sceneCount(); }

  static inline std::unique_ptr<capture::ShowCapture> show_;
};

TEST_F(GeneratedShow, EachSceneLastsExactlyItsBarsWithinThePolygonBudget) {
  for (std::size_t i = 0; i < sceneCount(); ++i) {
    const scene::Scene& s = scene(i);
    EXPECT_TRUE(s.framesPerSecond == 30 && s.startTime == 0) << i;
    EXPECT_DOUBLE_EQ(s.endTime, timeline::kScenes[i].bars * 2.0) << i;
    std::size_t polygons = 0;
    for (const scene::SceneObject& o : s.objects) polygons += o.mesh ? o.mesh->polygonCount() : 0;
    EXPECT_LT(polygons, kMaxPolygonsPerFrame) << s.fileName;
  }
}

// Between two keys a position channel stays near the two key values: a spline that
// swings out by more than half the largest neighbouring step is overshooting.
void expectSmooth(const anim::Motion& motion, const std::string& what) {
  auto keys = motion.keys();
  for (std::size_t k = 0; k + 1 < keys.size(); ++k) {
    for (int c = anim::kPositionX; c <= anim::kPositionZ; ++c) {
      float y0 = keys[k].values[c], y1 = keys[k + 1].values[c];
      float step = std::abs(y1 - y0);
      if (k > 0) step = std::max(step, std::abs(y0 - keys[k - 1].values[c]));
      if (k + 2 < keys.size()) step = std::max(step, std::abs(keys[k + 2].values[c] - y1));
      float margin = 0.5f * step + 1e-3f;
      for (std::uint32_t f = keys[k].frame; f <= keys[k + 1].frame; ++f) {
        float y = motion.evaluate(static_cast<float>(f))[c];
        ASSERT_GE(y, std::min(y0, y1) - margin) << what << " channel " << c << " frame " << f;
        ASSERT_LE(y, std::max(y0, y1) + margin) << what << " channel " << c << " frame " << f;
      }
    }
  }
}

TEST_F(GeneratedShow, MotionsDoNotOvershootBetweenKeys) {
  for (std::size_t i = 0; i < sceneCount(); ++i) {
    scene::Scene& s = scene(i);
    const std::string& name = s.fileName;
    expectSmooth(*s.camera.motion->keyedMotion(), name + " camera");
    for (std::size_t o = 0; o < s.objects.size(); ++o) expectSmooth(*s.objects[o].motion->keyedMotion(), name + " object " + std::to_string(o));
    for (std::size_t l = 0; l < s.lights.size(); ++l) expectSmooth(*s.lights[l].motion.keyedMotion(), name + " light " + std::to_string(l));
  }
}

TEST_F(GeneratedShow, EveryRunWritesTheSameBytes) {
  testing::TempDir again;
  buildShow().writeTo(again.str());
  for (const auto& entry : std::filesystem::directory_iterator(kShowData)) {
    EXPECT_EQ(testing::readFile(entry.path()), testing::readFile(again.path() / entry.path().filename())) << entry.path().filename();
  }
}

// Each picture must show something, not a blank screen or one flat colour (objects
// culled by winding, clipped or lost in fog): at least 3% of it differs from the clear
// colour, in at least 24 colours.
TEST_F(GeneratedShow, EveryTwoSecondsOfEverySceneShowsSomething) {
  constexpr double kMinCoveredShare = 0.03;
  constexpr std::size_t kMinColours = 24;
  for (std::size_t i = 0; i < sceneCount(); ++i) {
    scene::Scene& s = scene(i);
    scene::Color3 clear = s.effectiveBackdropColor();
    // Mid-bar moments: the first scene starts from black and the last ends in it.
    for (double t = s.startTime + 1; t < s.endTime; t += 2) {
      show_->drawScene(i, t);
      std::vector<std::uint8_t> pixels = show_->readPixels();
      std::size_t covered = 0;
      std::set<std::uint32_t> colours;
      for (std::size_t p = 0; p + 3 < pixels.size(); p += 4) {
        int distance = 0;
        for (int c = 0; c < 3; ++c) distance += std::abs(pixels[p + c] - static_cast<int>(clear[c] * 255 + 0.5f));
        covered += distance > 6;
        colours.insert(static_cast<std::uint32_t>(pixels[p]) << 16 | pixels[p + 1] << 8 | pixels[p + 2]);
      }
      EXPECT_GE(static_cast<double>(covered) / (kWidth * kHeight), kMinCoveredShare) << s.fileName << " at " << t;
      EXPECT_GE(colours.size(), kMinColours) << s.fileName << " at " << t;
    }
  }
}

}  // namespace
}  // namespace tessarine::showgen
