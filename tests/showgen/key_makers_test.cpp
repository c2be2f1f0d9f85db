// Key makers: where keys fall, angle unwrapping, pulses, aiming, and how closely the
// player's spline follows a sampled function.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/motion.h"
#include "common/error.h"
#include "showgen/key_makers.h"

namespace tessarine::showgen {
namespace {

std::vector<std::uint32_t> framesOf(const formats::LwsMotion& motion) {
  std::vector<std::uint32_t> frames;
  for (const auto& k : motion) frames.push_back(k.frame);
  return frames;
}

TEST(SampleMotion, KeysEveryStepOnTheLastFrameWithTheFunctionsValues) {
  auto still = [](double) { return Placement{}; };
  EXPECT_EQ(framesOf(sampleMotion(still, 30, 10, 30)), (std::vector<std::uint32_t>{0, 10, 20, 30}));
  EXPECT_EQ(framesOf(sampleMotion(still, 25, 10, 30)), (std::vector<std::uint32_t>{0, 10, 20, 25}));
  // A last gap under half a step would pull the spline; it is merged into the one before.
  EXPECT_EQ(framesOf(sampleMotion(still, 22, 10, 30)), (std::vector<std::uint32_t>{0, 10, 22}));
  EXPECT_EQ(framesOf(sampleMotion(still, 0, 10, 30)), (std::vector<std::uint32_t>{0}));
  EXPECT_THROW(sampleMotion(still, 30, 0, 30), common::Error);
  // Position is checked along a curve below; scale goes to its own channels.
  auto stretched = [](double t) {
    Placement p;
    p.scale = {1, 1, t};
    return p;
  };
  EXPECT_FLOAT_EQ(sampleMotion(stretched, 60, 30, 30)[2].values[formats::kLwsScaleZ], 2.0f);
}

TEST(UnwrapAngles, TurnsTheShortWayAcrossTheSeam) {
  // Heading 170 -> 190 -> 300 -> 420; bank 350 -> 370 -> 350.
  const float headings[] = {170, -170, -60, 60}, banks[] = {350, 10, 350, 10};
  formats::LwsMotion m(4);
  for (int i = 0; i < 4; ++i) {
    m[i].values[formats::kLwsHeading] = headings[i];
    m[i].values[formats::kLwsBank] = banks[i];
  }
  unwrapAngles(m);
  for (auto [i, heading, bank] : {std::tuple{1, 190.0f, 370.0f}, {2, 300.0f, 350.0f}, {3, 420.0f, 370.0f}}) {
    EXPECT_FLOAT_EQ(m[i].values[formats::kLwsHeading], heading) << i;
    EXPECT_FLOAT_EQ(m[i].values[formats::kLwsBank], bank) << i;
  }
}

TEST(PulseEnvelope, RisesInOneFrameAndFallsInStraightLines) {
  // Pulses at 0 and 15 with a 5-frame decay, over 30 frames, resting at 0.1.
  formats::LwsEnvelope e = pulseEnvelope({{0, 1.0}, {15, 0.5}}, 0.1, 5, 30);
  const std::pair<std::uint32_t, float> expected[] = {{0, 1}, {5, 0.1f}, {14, 0.1f}, {15, 0.5f}, {20, 0.1f}, {30, 0.1f}};
  ASSERT_EQ(e.size(), std::size(expected));
  for (std::size_t i = 0; i < e.size(); ++i) {
    EXPECT_EQ(e[i].frame, expected[i].first) << i;
    EXPECT_FLOAT_EQ(e[i].value, expected[i].second) << i;
    EXPECT_TRUE(e[i].linear);
  }
  // Pulses closer than the decay: no return to rest between them, frames still ascending.
  formats::LwsEnvelope close = pulseEnvelope({{10, 1}, {12, 1}, {40, 1}}, 0, 8, 30);
  for (std::size_t i = 1; i < close.size(); ++i) EXPECT_GT(close[i].frame, close[i - 1].frame);
  EXPECT_EQ(close.back().frame, 30u);
}

TEST(Aim, AnglesForDirections) {
  struct Case {
    Vec3 direction;
    double heading, pitch;
  };
  const Case cases[] = {
      {{0, 0, 1}, 0, 0}, {{1, 0, 1}, 45, 0}, {{-1, 0, 0}, -90, 0}, {{0, -1, 1}, 0, 45}, {{0, 1, -1}, 180, -45},
  };
  for (const Case& c : cases) {
    Angles a = aimAngles(c.direction);
    EXPECT_NEAR(a.heading, c.heading, 1e-9);
    EXPECT_NEAR(a.pitch, c.pitch, 1e-9);
  }
}

TEST(Aim, YAxisAlignmentPointsTheAxisAlongTheDirection) {
  for (const Vec3 d : {Vec3{1, 0, 0}, Vec3{0, 0, -1}, Vec3{0.3, 0.5, -0.8}, Vec3{-1, -2, 0.5}}) {
    AxisAngles a = alignYAxis(d);
    double h = radians(a.heading), b = radians(a.bank);
    // +y turned by bank, then heading: (-sin b cos h, cos b, sin b sin h).
    Vec3 axis{-std::sin(b) * std::cos(h), std::cos(b), std::sin(b) * std::sin(h)};
    EXPECT_NEAR((axis - d.normalized()).length(), 0, 1e-9);
  }
}

// The player's own evaluation of keys sampled every `step` frames from a smooth curve
// stays close to that curve between the keys.
TEST(SampleMotion, PlayerSplineFollowsTheSampledCurve) {
  auto curve = [](double t) { return Vec3{10 * std::sin(1.3 * t), 4 * std::cos(0.7 * t) + t, 5 * t * t}; };
  constexpr std::uint32_t kLast = 300;
  for (std::uint32_t step : {3u, 10u, 15u}) {
    std::vector<anim::MotionKey> animKeys;
    for (const auto& k : sampleMotion([&](double t) { return Placement{.position = curve(t)}; }, kLast, step, 30)) {
      animKeys.push_back({.values = k.values, .frame = k.frame});
    }
    anim::Motion motion(animKeys, 30);
    double worst = 0;
    for (std::uint32_t f = 0; f <= kLast; ++f) {
      const anim::ChannelValues v = motion.evaluate(static_cast<float>(f));
      Vec3 want = curve(f / 30.0);
      Vec3 got{v[0], v[1], v[2]};
      worst = std::max(worst, (got - want).length());
    }
    // Ten units of sine at 1.3 rad/s: the error grows with the cube of the step.
    EXPECT_LT(worst, step <= 3 ? 0.01 : (step <= 10 ? 0.15 : 0.5)) << "step " << step;
  }
}

}  // namespace
}  // namespace tessarine::showgen
