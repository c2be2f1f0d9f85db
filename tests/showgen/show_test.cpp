// The generated show read back and drawn by the player's own loader and renderer, loaded
// once for the whole program: the storyboard's structure, lengths that match the
// timeline, shared meshes, texture sizes, polygon budgets, smooth keys, the same bytes on
// every run, and a frame every two seconds of every scene that shows something.
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
#include "support/temp_dir.h"
#include "timeline/timeline.h"

namespace tessarine::showgen {
namespace {

// Polygons the software renderer can draw every frame at a watchable rate.
constexpr std::size_t kMaxPolygonsPerFrame = 40000;

std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The show the build generated.
const std::filesystem::path kShowData = TESSARINE_SHOW_DATA;
constexpr int kWidth = 160;
constexpr int kHeight = 120;

class GeneratedShow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { show_ = std::make_unique<capture::ShowCapture>(kShowData, kWidth, kHeight); }
  static void TearDownTestSuite() { show_.reset(); }

  static scene::Scene& scene(std::size_t i) { return show_->scene(i); }
  static std::size_t sceneCount() { return show_->show().sceneCount(); }
  static std::size_t countWithMesh(const scene::Scene& s, const std::string& name) {
    return std::ranges::count_if(s.objects, [&](const scene::SceneObject& o) { return o.mesh && o.mesh->name() == name; });
  }

  static inline std::unique_ptr<capture::ShowCapture> show_;
};

TEST_F(GeneratedShow, EachSceneLastsExactlyItsBars) {
  for (std::size_t i = 0; i < sceneCount(); ++i) {
    EXPECT_EQ(scene(i).framesPerSecond, 30.0f);
    EXPECT_DOUBLE_EQ(scene(i).startTime, 0.0);
    EXPECT_DOUBLE_EQ(scene(i).endTime - scene(i).startTime, timeline::kScenes[i].bars * 2.0) << i;
  }
}

TEST_F(GeneratedShow, ArrivalOpensFromBlackDownATunnelOfRings) {
  const scene::Scene& s = scene(kArrival);
  EXPECT_GE(countWithMesh(s, "ring.lwo"), 40u);
  ASSERT_TRUE(s.fogMaxEnvelope);
  EXPECT_LT(s.fogMaxEnvelope->valueAt(0), 5);
  EXPECT_GT(s.fogMaxEnvelope->valueAt(6), 60);
  // The title is drawn last, over the rings behind it.
  ASSERT_TRUE(s.objects.back().mesh);
  EXPECT_EQ(s.objects.back().mesh->name(), "title.lwo");
  for (const scene::SceneLight& light : s.lights) EXPECT_EQ(light.lightType, scene::kPoint);
  EXPECT_GE(s.lights.size(), 3u);
}

TEST_F(GeneratedShow, HypercubeHasItsStrutsNodesAndAThreeDeepLightChain) {
  const scene::Scene& s = scene(kHypercube);
  EXPECT_EQ(countWithMesh(s, "strut.lwo"), 32u);
  EXPECT_EQ(countWithMesh(s, "node.lwo"), 16u);
  std::set<int> depths;
  for (const scene::SceneLight& light : s.lights) {
    int depth = 0;
    for (const scene::SceneObject* o = light.parent; o != nullptr; o = o->parent) ++depth;
    depths.insert(depth);
  }
  EXPECT_TRUE(depths.contains(1) && depths.contains(2) && depths.contains(3));
  ASSERT_TRUE(s.ambientIntensityEnvelope);
  // Brighter on a beat than half a beat later.
  EXPECT_GT(s.ambientIntensityEnvelope->valueAt(2.0), s.ambientIntensityEnvelope->valueAt(2.25));
}

TEST_F(GeneratedShow, TerrainHasTheSunLiftingMistAndShakesOnAccents) {
  const scene::Scene& s = scene(kTerrain);
  ASSERT_EQ(countWithMesh(s, "terrain.lwo"), 1u);
  EXPECT_GE(s.objects[0].mesh->polygonCount(), 8000u);
  EXPECT_TRUE(std::ranges::any_of(s.lights, [](const scene::SceneLight& l) { return l.lightType == scene::kDistant; }));
  ASSERT_TRUE(s.fogMinEnvelope && s.fogMaxEnvelope);
  EXPECT_LT(s.fogMinEnvelope->valueAt(0), s.fogMinEnvelope->valueAt(20));
  EXPECT_LT(s.fogMaxEnvelope->valueAt(0), s.fogMaxEnvelope->valueAt(20));
  ASSERT_TRUE(s.shakeEnvelope);
  EXPECT_GT(s.shakeEnvelope->valueAt(4.0), 0.3);   // bar 3's first beat
  EXPECT_LT(s.shakeEnvelope->valueAt(4.75), 0.01);  // still by the bar's second half
}

TEST_F(GeneratedShow, CityHasEightLightsFortyTowersAndSweepingSpots) {
  const scene::Scene& s = scene(kCity);
  EXPECT_EQ(s.lights.size(), scene::kMaxLights);
  std::set<std::string> towerMeshes;
  std::size_t towers = 0;
  for (const scene::SceneObject& o : s.objects) {
    if (o.mesh != nullptr && o.mesh->name().rfind("tower", 0) == 0) {
      ++towers;
      towerMeshes.insert(o.mesh->name());
    }
  }
  EXPECT_GE(towers, 40u);
  EXPECT_LE(towerMeshes.size(), 3u);
  std::size_t sweeping = 0, flashing = 0;
  for (const scene::SceneLight& l : s.lights) {
    sweeping += l.lightType == scene::kSpot && l.coneEnvelope != nullptr;
    flashing += l.intensityEnvelope != nullptr;
  }
  EXPECT_GE(sweeping, 2u);
  EXPECT_GE(flashing, 2u);
}

TEST_F(GeneratedShow, VertigoSharesTheCityAndDollyZoomsFromARig) {
  const scene::Scene& city = scene(kCity);
  const scene::Scene& vertigo = scene(kVertigo);
  for (const scene::SceneObject& o : vertigo.objects) {
    if (o.mesh) {
      EXPECT_GT(countWithMesh(city, o.mesh->name()), 0u) << o.mesh->name();
    }
  }
  ASSERT_NE(vertigo.camera.parent, nullptr);
  EXPECT_EQ(vertigo.camera.parent->mesh, nullptr);
  ASSERT_TRUE(vertigo.camera.zoomEnvelope);
  // The rig pulls back while the zoom closes in.
  const anim::Motion& rig = *vertigo.camera.parent->motion;
  float startBack = -rig.valueAt(0)[anim::kPositionZ];
  float endBack = -rig.valueAt(vertigo.endTime)[anim::kPositionZ];
  EXPECT_GT(endBack, 3 * startBack);
  EXPECT_GT(vertigo.camera.zoomEnvelope->valueAt(vertigo.endTime), 3 * vertigo.camera.zoomEnvelope->valueAt(0));
}

TEST_F(GeneratedShow, UnfoldingReturnsTheTesseractAndFadesToBlack) {
  const scene::Scene& s = scene(kUnfolding);
  EXPECT_EQ(countWithMesh(s, "cell.lwo"), 8u);
  EXPECT_EQ(countWithMesh(s, "title.lwo"), 1u);
  EXPECT_EQ(countWithMesh(s, "credits.lwo"), 1u);
  ASSERT_TRUE(s.fogMaxEnvelope && s.ambientIntensityEnvelope);
  EXPECT_LE(s.fogMaxEnvelope->valueAt(s.endTime), 1.0f);
  EXPECT_EQ(s.ambientIntensityEnvelope->valueAt(s.endTime), 0.0f);
  EXPECT_EQ(s.effectiveFogColor(), (scene::Color4{0, 0, 0, 1}));
}

TEST_F(GeneratedShow, TexturesArePowersOfTwoWithAlphaOnlyOnPlates) {
  for (const auto& m : show_->show().context().meshes) {
    std::string tga = slurp(kShowData / (m->name().substr(0, m->name().size() - 3) + "tga"));
    ASSERT_GE(tga.size(), 18u) << m->name();
    auto u16 = [&](std::size_t at) { return static_cast<unsigned char>(tga[at]) | static_cast<unsigned char>(tga[at + 1]) << 8; };
    int width = u16(12), height = u16(14), bits = static_cast<unsigned char>(tga[16]);
    EXPECT_TRUE(width > 0 && (width & (width - 1)) == 0) << m->name();
    EXPECT_TRUE(height > 0 && (height & (height - 1)) == 0) << m->name();
    bool plate = m->name() == "title.lwo" || m->name() == "credits.lwo" || m->name().rfind("beam_", 0) == 0;
    EXPECT_EQ(bits, plate ? 32 : 24) << m->name();
  }
}

TEST_F(GeneratedShow, EverySceneStaysWithinThePolygonBudget) {
  for (std::size_t i = 0; i < sceneCount(); ++i) {
    std::size_t polygons = 0;
    for (const scene::SceneObject& o : scene(i).objects) polygons += o.mesh ? o.mesh->polygonCount() : 0;
    EXPECT_LT(polygons, kMaxPolygonsPerFrame) << scene(i).fileName;
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
    expectSmooth(*s.camera.motion, name + " camera");
    for (std::size_t o = 0; o < s.objects.size(); ++o) expectSmooth(*s.objects[o].motion, name + " object " + std::to_string(o));
    for (std::size_t l = 0; l < s.lights.size(); ++l) expectSmooth(s.lights[l].motion, name + " light " + std::to_string(l));
  }
}

TEST_F(GeneratedShow, EveryRunWritesTheSameBytes) {
  testing::TempDir again;
  buildShow().writeTo(again.str());
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kShowData)) {
    ++files;
    EXPECT_EQ(slurp(entry.path()), slurp(again.path() / entry.path().filename())) << entry.path().filename();
  }
  EXPECT_GE(files, 6u + 2u * show_->show().context().meshes.size());
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
        std::uint8_t r = pixels[p], g = pixels[p + 1], b = pixels[p + 2];
        int dr = r - static_cast<int>(clear[0] * 255 + 0.5f), dg = g - static_cast<int>(clear[1] * 255 + 0.5f),
            db = b - static_cast<int>(clear[2] * 255 + 0.5f);
        if (std::abs(dr) + std::abs(dg) + std::abs(db) > 6) ++covered;
        colours.insert(static_cast<std::uint32_t>(r) << 16 | g << 8 | b);
      }
      EXPECT_GE(static_cast<double>(covered) / (kWidth * kHeight), kMinCoveredShare) << s.fileName << " at " << t;
      EXPECT_GE(colours.size(), kMinColours) << s.fileName << " at " << t;
    }
  }
}

}  // namespace
}  // namespace tessarine::showgen
