// What a scene's per-frame values and its camera shake are at a moment, without a GL
// context: plain settings, envelopes at half a second, and the shake of one moment.
#include "render/frame_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "render/camera_shake.h"
#include "support/scene_files.h"
#include "support/temp_dir.h"

namespace tessarine::render {
namespace {

using formats::LwsLightType;
using formats::LwsScene;
using testing::ramp;
using testing::still;

constexpr float kNone = -1;  // stands for a value the scene does not have

// Ambient intensity and colour, fog min and max, zoom, shake amplitude; then per light
// its intensity, diffuse colour and cone angle.
std::vector<float> flat(const FrameValues& v) {
  const scene::Color4& a = v.ambientColor;
  std::vector<float> out = {v.ambientIntensity.value_or(kNone), a[0], a[1], a[2], a[3], v.fogMinDistance,
                            v.fogMaxDistance, v.zoom, v.shakeAmplitude};
  for (const LightValues& l : v.lights()) {
    out.insert(out.end(), {l.intensity.value_or(kNone), l.diffuse[0], l.diffuse[1], l.diffuse[2], l.diffuse[3],
                           l.coneAngle.value_or(kNone)});
  }
  return out;
}

TEST(FrameValuesTest, PlainSettingsAndEnvelopesAtHalfASecond) {
  LwsScene plain{.lights = {{.motion = still({}), .color = {255, 0, 0}, .intensity = 0.5f},
                            {.motion = still({}), .type = LwsLightType::kSpot, .coneAngle = 30.0f}},
                 .ambientColor = {255, 128, 0}, .ambientIntensity = 0.5f, .fogMinDistance = 10.0f,
                 .fogMaxDistance = 100.0f};
  plain.camera = {.motion = still({}), .focalDistance = 2.0f};
  // Every envelope a straight line over frames 0 to 30: half a second is its middle.
  LwsScene enveloped{.lights = {{.motion = still({}), .color = {0, 255, 0}, .intensity = ramp({{0, 0}, {30, 1}})},
                                {.motion = still({}), .type = LwsLightType::kSpot, .coneAngle = ramp({{0, 10}, {30, 50}})}},
                     .ambientColor = {255, 0, 0}, .ambientIntensity = ramp({{0, 0}, {30, 1}}),
                     .fogMinDistance = ramp({{0, 0}, {30, 20}}), .fogMaxDistance = ramp({{0, 100}, {30, 200}})};
  enveloped.camera = {.motion = still({}), .zoom = ramp({{0, 1}, {30, 3}}), .focalDistance = ramp({{0, 0}, {30, 4}})};
  const struct {
    const char* what;
    const LwsScene& lws;
    std::vector<float> expected;
  } cases[] = {
      {"plain: colours carry their intensities", plain,
       {0.5f, 0.5f, 64.0f / 255, 0, 1, 10, 100, 3.2f, 2, /**/ 0.5f, 0.5f, 0, 0, 1, kNone, /**/ 1, 1, 1, 1, 1, 30}},
      {"enveloped: the bare colour times the intensity", enveloped,
       {0.5f, 0.5f, 0, 0, 1, 10, 150, 2, 2, /**/ 0.5f, 0, 0.5f, 0, 1, kNone, /**/ 1, 1, 1, 1, 1, 30}},
  };
  testing::TempDir dir;
  scene::DemoContext context(dir.str());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dir.write("values.lws", formats::writeLws(c.lws));
    const std::vector<float> actual = flat(frameValues(scene::Scene(context, "values.lws", 1.0f), 0.5));
    ASSERT_EQ(actual.size(), c.expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], c.expected[i], 1e-5f) << "value " << i;
  }
}

// What a file leaves out takes its default: no ambient intensity, a grey ambient colour, fog from
// 0 to 1000, no shake. A rate below one frame a second is still a rate for the zoom's envelope.
TEST(FrameValuesTest, DefaultsStandForWhatTheFileLeavesOut) {
  const std::string text = "LWSC\n1\nFramesPerSecond 0.5\nCameraMotion (unnamed) 9 1 0 0 0 0 0 0 1 1 1 0 0 0 0 0 "
                           "EndBehavior 1\nZoomFactor (envelope) 1 1 2 0 0 0 0 0 EndBehavior 1\n";
  testing::TempDir dir;
  scene::DemoContext context(dir.str());
  const scene::Scene scene(context, "d.lws", std::as_bytes(std::span(text)), 1.0f);
  EXPECT_EQ(flat(frameValues(scene, 0)), (std::vector<float>{kNone, 0.25f, 0.25f, 0.25f, 1, 0, 1000, 2, 0}));
}

// Each axis a fraction from -1 to 1 of A sin(50 t), drawn from numbers that depend on the
// moment alone: a moment drawn again (a paused picture) shakes the same way.
TEST(CameraShakeTest, OneMomentShakesOneWayAndTheFractionsSpreadEvenly) {
  const ShakeOffset first = shakeOffset(2, 0.5f);
  shakeOffset(2, 0.75f);  // another moment drawn in between
  EXPECT_EQ(shakeOffset(2, 0.5f), first);
  EXPECT_NE(first[0], first[1]) << "every axis draws its own number";
  EXPECT_EQ(shakeOffset(2, 0), ShakeOffset{}) << "sin(50 t) is 0";
  // A minute of frames at 60 a second: the fractions reach both ends, with the mean
  // square of an even spread, 1/3.
  std::vector<double> f;
  for (int frame = 1; frame < 3600; ++frame) {
    const float t = static_cast<float>(frame / 60.0);
    const double swing = std::sin(static_cast<double>(50.0f * t));
    if (std::abs(swing) > 0.3) for (float axis : shakeOffset(1, t)) f.push_back(axis / swing);
  }
  const auto [low, high] = std::minmax_element(f.begin(), f.end());
  EXPECT_NEAR(*low, -1, 0.01);
  EXPECT_NEAR(*high, 1, 0.01);
  EXPECT_NEAR(std::inner_product(f.begin(), f.end(), f.begin(), 0.0) / f.size(), 1.0 / 3, 0.02);
}

}  // namespace
}  // namespace tessarine::render
