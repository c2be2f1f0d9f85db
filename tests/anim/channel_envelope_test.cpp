// Channel envelopes against values worked out by hand from the Hermite, Bezier and
// Kochanek-Bartels formulas: every span shape, every behaviour around keys that start after
// time 0, and the degenerate envelopes and times.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "anim/channel_envelope.h"

namespace tessarine::anim {
namespace {

using enum KeyShape;
using B = Behavior;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Linear spans 1 -> 3 (value 1 to 2) and 3 -> 5 (2 to 5): f(2) = 1.5, f(4) = 3.5; the keyed
// span is 4 s long and changes the value by 4.
const std::vector<ChannelKey> kLateKeys = {{1, 1}, {3, 2, kLinear}, {5, 5, kLinear}};

TEST(ChannelEnvelopeTest, EveryShapeMeetsHandComputedValues) {
  const std::vector<ChannelKey> tcb = {{1, 1}, {2, 5, kTcb, 0.5, 0.5, 0.25}, {4, 11}};
  const std::vector<ChannelKey> hermite = {
      {1, 0, kHermite, 0, 0, 0, {0, 4}}, {3, 1, kHermite, 0, 0, 0, {3, 4}}, {4, 1, kHermite, 0, 0, 0, {5}}};
  const std::vector<ChannelKey> linear = {{0, 1}, {2, 5, kLinear}, {4, 3}};
  // The 2D Bezier's time handles (1, 2, 3.5, 4) meet 1.9945 s at u = 0.3 (Bernstein weights
  // 0.343, 0.441, 0.189, 0.027).
  const ChannelKey bezier2Start = {1, 0, kBezier2, 0, 0, 0, {0, 0, 1, 3}};
  const ChannelKey bezier2End = {4, 3, kBezier2, 0, 0, 0, {-0.5, -1}};
  struct Case {
    const char* what;
    std::vector<ChannelKey> keys;
    double seconds, expected;
    Behavior behavior = B::kConstant;
  } cases[] = {
      // At u = 0.5 the Hermite weights are 0.5, 0.5, 0.125, -0.125.
      // Incoming at 2: a = 0.3125 on the change 4, b = 0.5625 on the next change 6, share 1/3;
      // outgoing at 1: 4 (no key before).
      {"tcb into the key with tension, continuity, bias", tcb, 1.5, 3.5 - 4.625 / 24},
      // Outgoing at 2: a = 0.9375 on the change before (4), b = 0.1875 on 6, share 2/3: 3.25.
      {"tcb out of that key", tcb, 3, 8 + 3.25 / 8 - 6.0 / 8},
      // Incoming tangent 3 at the key at 3 is scaled by its share 2/3 of the spans 1..4.
      {"hermite, tangents scaled by span", hermite, 2, 0.5 + 0.5 - 0.25},
      {"hermite, outgoing 4 x 1/3", hermite, 3.5, 1 + 1.0 / 6 - 0.625},
      {"1D bezier", {{0, 0, kBezier, 0, 0, 0, {0, 2}}, {2, 1, kBezier, 0, 0, 0, {3}}}, 1, 0.5 + 0.25 - 0.375},
      {"linear", linear, 0.5, 2},
      // Out of a linear key: share 1/2 of (4 - 2); into the last: -2.
      {"tcb after a linear key", linear, 3, 4 + 0.125 + 0.25},
      {"stepped holds the start", {{0, 1}, {2, 5, kStepped}}, 1.5, 1},
      {"stepped reaches its key", {{0, 1}, {2, 5, kStepped}}, 2, 5},
      // Values (0, 3, 2, 3) at u = 0.3: 0.441 x 3 + 0.189 x 2 + 0.027 x 3.
      {"2D bezier", {bezier2Start, bezier2End}, 1.9945, 1.782},
      // From a TCB key the handle sits at a third of the span and of params[1]: (0, 2, 2, 3).
      {"2D bezier from a tcb key", {{1, 0, kTcb, 0, 0, 0, {0, 6}}, bezier2End}, 1.9945, 1.341},
      // Lines along the handles: 3 / 1 before, -1 / -0.5 after, and steep for a handle at 0 s.
      {"2D bezier, linear before", {bezier2Start, bezier2End}, 0, -3, B::kLinear},
      {"2D bezier, linear after", {bezier2Start, bezier2End}, 5, 3 + 2, B::kLinear},
      {"2D bezier, steep handle", {bezier2Start, {4, 3, kBezier2, 0, 0, 0, {0, -1}}}, 5, 3 - 1e5, B::kLinear},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(ChannelEnvelope(c.keys, c.behavior, c.behavior).valueAt(c.seconds), c.expected, 1e-9) << c.what;
  }
}

TEST(ChannelEnvelopeTest, BehavioursCycleOverTheKeyedSpanWhereverItStarts) {
  struct Case {
    Behavior behavior;
    double seconds, expected;
  } cases[] = {
      // After the last key: 6 s is 2 s into cycle 1, 9 s its end, 10 s 2 s into cycle 2.
      {B::kReset, 6, 0}, {B::kReset, 5, 5}, {B::kConstant, 6, 5}, {B::kRepeat, 6, 1.5}, {B::kRepeat, 9, 5},
      {B::kOscillate, 6, 3.5}, {B::kOscillate, 9, 1}, {B::kOscillate, 10, 1.5},
      {B::kOffsetRepeat, 6, 1.5 + 4}, {B::kOffsetRepeat, 9, 5 + 4}, {B::kOffsetRepeat, 10, 1.5 + 8},
      {B::kLinear, 6, 5 + 1.5},  // the last span's slope, 3 / 2
      // Before the first key: 0 s is 3 s into cycle -1, -3 s its start, -4 s 3 s into cycle -2.
      {B::kReset, 0, 0}, {B::kReset, 1, 1}, {B::kConstant, 0, 1}, {B::kRepeat, 0, 3.5}, {B::kRepeat, -3, 1},
      {B::kOscillate, 0, 1.5}, {B::kOscillate, -3, 5}, {B::kOscillate, -4, 3.5},
      {B::kOffsetRepeat, 0, 3.5 - 4}, {B::kOffsetRepeat, -4, 3.5 - 8},
      {B::kLinear, 0, 1 - 0.5},  // the first TCB key's outgoing tangent 1 over its 2 s span
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(ChannelEnvelope(kLateKeys, c.behavior, c.behavior).valueAt(c.seconds), c.expected)
        << "behaviour " << static_cast<int>(c.behavior) << " at " << c.seconds;
  }
}

TEST(ChannelEnvelopeTest, DegenerateEnvelopesAndTimesGiveDefinedValues) {
  EXPECT_EQ(ChannelEnvelope().valueAt(1), 0);
  const ChannelEnvelope single({{2, 7}}, B::kReset, B::kReset);
  EXPECT_EQ(single.valueAt(0), 7);
  // Of keys at one time the later given stands (9, then 3); keys at no finite time are dropped.
  const ChannelEnvelope doubled({{1, 5}, {kNaN, 3}, {3, 1, kLinear}, {-kInfinity, 3}, {1, 9}, {3, 3, kLinear}},
                                B::kConstant, B::kConstant);
  EXPECT_EQ(doubled.keys().size(), 2u);
  EXPECT_EQ(doubled.valueAt(2), 6);
  const ChannelEnvelope unknown({{0, 1}, {2, 4, KeyShape{9}}}, Behavior{9}, Behavior{9});
  EXPECT_EQ(unknown.valueAt(1), 0);
  EXPECT_EQ(unknown.valueAt(3), 4);

  for (const Behavior b : {B::kReset, B::kConstant, B::kRepeat, B::kOscillate, B::kOffsetRepeat, B::kLinear}) {
    const ChannelEnvelope envelope(kLateKeys, b, b);
    EXPECT_TRUE(std::isnan(envelope.valueAt(kNaN))) << static_cast<int>(b);
    for (const double far : {1e300, -1e300}) EXPECT_TRUE(std::isfinite(envelope.valueAt(far))) << static_cast<int>(b);
  }
  const double farRepeat = ChannelEnvelope(kLateKeys, B::kRepeat, B::kRepeat).valueAt(1e300);
  EXPECT_TRUE(farRepeat >= 1 && farRepeat <= 5) << farRepeat;
  EXPECT_TRUE(std::isnan(ChannelEnvelope(kLateKeys, B::kRepeat, B::kRepeat).valueAt(kInfinity)));
  EXPECT_EQ(ChannelEnvelope(kLateKeys, B::kLinear, B::kLinear).valueAt(-kInfinity), -kInfinity);
  // Stepped keys have level tangents: the lines stay at their values, not 0 x infinity.
  const ChannelEnvelope level({{1, 1, kStepped}, {3, 2, kStepped}}, B::kLinear, B::kLinear);
  EXPECT_EQ(level.valueAt(-kInfinity), 1);
  EXPECT_EQ(level.valueAt(kInfinity), 2);
}

}  // namespace
}  // namespace tessarine::anim
