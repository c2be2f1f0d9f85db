// Every scene of the generated show drawn by the player's renderer on a surfaceless
// context, a frame every two seconds: each picture must show something, not a blank
// screen or one flat colour (objects culled by winding, clipped or lost in fog).
#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "showgen/show_player.h"
#include "showgen/storyboard.h"
#include "support/temp_dir.h"
#include "timeline/timeline.h"

namespace tessarine::showgen {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
// At least this share of the picture differs from the clear colour...
constexpr double kMinCoveredShare = 0.03;
// ...in at least this many colours.
constexpr std::size_t kMinColours = 24;


TEST(ShowRender, EveryTwoSecondsOfEverySceneShowsSomething) {
  testing::TempDir dir;
  buildShow().writeTo(dir.str());
  ShowPlayer player(dir.str(), kWidth, kHeight);
  ASSERT_EQ(player.sceneCount(), timeline::kScenes.size());
  for (std::size_t i = 0; i < player.sceneCount(); ++i) {
    scene::Scene& s = player.scene(i);
    scene::Color3 clear = s.effectiveBackdropColor();
    // Mid-bar moments: the first scene starts from black and the last ends in it.
    for (double t = s.startTime + 1; t < s.endTime; t += 2) {
      std::vector<std::uint8_t> pixels = player.frame(i, t);
      std::size_t covered = 0;
      std::set<std::uint32_t> colours;
      for (std::size_t p = 0; p + 3 < pixels.size(); p += 4) {
        std::uint8_t r = pixels[p], g = pixels[p + 1], b = pixels[p + 2];
        int dr = r - static_cast<int>(clear[0] * 255 + 0.5f), dg = g - static_cast<int>(clear[1] * 255 + 0.5f),
            db = b - static_cast<int>(clear[2] * 255 + 0.5f);
        if (std::abs(dr) + std::abs(dg) + std::abs(db) > 6) ++covered;
        colours.insert(static_cast<std::uint32_t>(r) << 16 | g << 8 | b);
      }
      double share = static_cast<double>(covered) / (kWidth * kHeight);
      EXPECT_GE(share, kMinCoveredShare) << timeline::kScenes[i].file << " at " << t << " s";
      EXPECT_GE(colours.size(), kMinColours) << timeline::kScenes[i].file << " at " << t << " s";
    }
  }
}

}  // namespace
}  // namespace tessarine::showgen
