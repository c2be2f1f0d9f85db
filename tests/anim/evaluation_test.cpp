// Keyframe evaluation against values worked out by hand from the spline definition, and item
// and viewing transforms against matrices worked out by hand (column-major, as OpenGL takes them).
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <optional>
#include <vector>

#include "anim/keyed_curve.h"
#include "anim/matrix.h"
#include "support/error_message.h"

namespace tessarine::anim {
namespace {

using tessarine::testing::messageOf;

constexpr float kFps = 30;
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct Key {
  std::uint32_t frame;
  float value, tension = 0, continuity = 0, bias = 0;
  std::uint32_t linear = 0;
};

// Channel c of each motion key holds the value plus 100 c, so a channel that reads
// another's value, or the wrong key, shows.
std::pair<std::vector<EnvelopeKey>, std::vector<MotionKey>> keysOf(const std::vector<Key>& keys) {
  std::pair<std::vector<EnvelopeKey>, std::vector<MotionKey>> out;
  for (const Key& k : keys) {
    out.first.push_back({{k.value}, k.tension, k.continuity, k.bias, k.linear, k.frame});
    MotionKey& key = out.second.emplace_back(MotionKey{{}, k.tension, k.continuity, k.bias, k.linear, k.frame});
    for (int c = 0; c < kChannels; ++c) key.values[c] = k.value + 100.0f * c;
  }
  return out;
}

TEST(InterpolationTest, EnvelopeAndEveryMotionChannelMeetHandComputedValues) {
  struct Case {
    const char* what;
    std::vector<Key> keys;
    float frame, expected;
  } cases[] = {
      {"one key, before it", {{5, 7}}, 0, 7},
      // Two plain keys: both tangents one-sided (10), the curve is the straight line.
      {"two plain keys, quarter", {{0, 0}, {10, 10}}, 2.5f, 2.5f},
      // Tension 1 zeroes both tangents: 10 (3 t^2 - 2 t^3) at t = 0.25.
      {"tension 1 eases in and out", {{0, 0, 1}, {10, 10, 1}}, 2.5f, 1.5625f},
      {"a linear flag on the first key has no effect", {{0, 0, 1, 0, 0, 1}, {10, 10, 1}}, 2.5f, 1.5625f},
      // g0 = 10 (one-sided), adj1 = 10/20, g1 = 0.5 (10 - 10) = 0: 5 + 1.25 = 6.25.
      {"three keys, peak", {{0, 0}, {10, 10}, {20, 0}}, 5, 6.25f},
      // a0 = 1.5, b0 = 0.5, a1 = 1.5, b1 = 0.5, adj0 = adj1 = 0.5, g0 = 5, g1 = -5.
      {"continuity and bias inside", {{0, 0}, {10, 10, 0, 0.5f}, {20, 0, 0, 0, 0.5f}, {30, 10}}, 15, 6.25f},
      // Continuity on the end key of a span with a successor: a1 = 0.5, b1 = 1.5,
      // adj1 = 0.5, g1 = 0.5 (0.5 x 10 + 1.5 x 20) = 17.5, g0 = 10: 5 + 1.25 - 2.1875.
      {"continuity on the end key", {{0, 0}, {10, 10, 0, 0.5f}, {20, 30}}, 5, 4.0625f},
      // Uneven spacing, span 10..30: adj0 = 20/30, g0 = (2/3)(10 + 30) = 80/3, g1 = 30
      // (one-sided at the last frame): 5 + 20 + 10/3 - 3.75 = 295/12.
      {"uneven spacing, second span", {{0, 0}, {10, 10}, {30, 40}}, 20, 295.0f / 12},
      // Span 0..10: g0 = 10, adj1 = 10/30, g1 = (1/3)(10 + 30) = 40/3: 5 + 1.25 - 5/3.
      {"uneven spacing, first span", {{0, 0}, {10, 10}, {30, 40}}, 5, 55.0f / 12},
      // One-sided ends with every factor set: a0 = 1.125, b0 = 0.125 give g0 = 6.25;
      // a1 = 0.375, b1 = 3.375 give g1 = 18.75; at t = 0.5: 5 + 0.78125 - 2.34375.
      {"every factor at both ends", {{0, 0, 0.5f, 0.5f, 0.5f}, {10, 10, -0.5f, 0.5f, -0.5f}}, 5, 3.4375f},
      // keys[2] linear: the span 10..20 is a line; 20..30 stays a spline whose start
      // tangent uses the key at 10: g0 = 0.5 (-10 + 20) = 5, g1 = 20: 10 + 0.625 - 2.5.
      {"linear span", {{0, 0}, {10, 10}, {20, 0, 0, 0, 0, 1}, {30, 20}}, 12.5f, 7.5f},
      {"spline after a linear span", {{0, 0}, {10, 10}, {20, 0, 0, 0, 0, 1}, {30, 20}}, 25, 8.125f},
      {"linear last span", {{0, 0}, {10, 10}, {20, 30, 1, 0, 0, 1}}, 15, 20},
      {"beyond the last key", {{0, 0, 1}, {10, 10, 1}, {20, 4, 1}}, 20.5f, 4},
      // A first key after frame 0 has no predecessor: one-sided tangents, straight line
      // extended backwards (t = -0.5).
      {"before a late first key", {{10, 10}, {20, 20}}, 5, 5},
      // g0 = 10 (one-sided), adj1 = 10/20, g1 = 0.5 (10 + 20) = 15: 15 + 1.25 - 1.875.
      {"first span of a late first key", {{10, 10}, {20, 20}, {30, 40}}, 15, 14.375f},
      {"not a number", {{0, 3}, {10, 10}, {20, 0}}, std::numeric_limits<float>::quiet_NaN(), 3},
      {"minus infinity", {{0, 3}, {10, 10}, {20, 0}}, -kInfinity, 3},
      // Frame numbers are compared with the frame exactly: 16777219 would round to the
      // float 16777220 and wrongly end the search one span early.
      {"frames beyond float precision", {{0, 0}, {16777219, 0, 0, 0, 0, 1}, {16777230, 11, 0, 0, 0, 1}}, 16777220, 1},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(Envelope(keysOf(c.keys).first, kFps).evaluate(c.frame), c.expected, 1e-5) << c.what;
    const ChannelValues values = Motion(keysOf(c.keys).second, kFps).evaluate(c.frame);
    for (int channel = 0; channel < kChannels; ++channel) {
      EXPECT_NEAR(values[channel], c.expected + 100.0f * channel, 1e-4) << c.what << ", channel " << channel;
    }
  }
}

TEST(InterpolationTest, KeyFramesGiveTheKeyValuesExactlyAndKeysMadeInMemoryAreValidated) {
  // t = 1 on the span that ends at a key: no rounding may creep in through the tangents.
  Envelope envelope(keysOf({{0, 0.1f}, {7, 0.3f, 0.2f}, {19, -0.7f, 0, 0.4f}, {40, 1.9f, 0, 0, -0.3f}}).first, kFps);
  for (const EnvelopeKey& key : envelope.keys()) EXPECT_EQ(envelope.evaluate(static_cast<float>(key.frame)), key.values[0]);

  const std::pair<std::vector<Key>, std::string> refusals[] = {
      {{}, " without keys"},
      {{{0, 0}, {10, 1}, {10, 2}}, "Key at frame 10 does not come after the key at frame 10"},
      {{{20, 0}, {10, 1}}, "Key at frame 10 does not come after the key at frame 20"},
  };
  for (const auto& [keys, message] : refusals) {
    EXPECT_EQ(messageOf([&] { Motion(keysOf(keys).second, kFps); }), keys.empty() ? "Motion" + message : message);
    EXPECT_EQ(messageOf([&] { Envelope(keysOf(keys).first, kFps); }), keys.empty() ? "Envelope" + message : message);
  }
}

TEST(TransformTest, ViewAndItemMatricesMeetHandComputedOnes) {
  constexpr ChannelValues kStill{0, 0, 0, 0, 0, 0, 1, 1, 1};
  struct Case {
    const char* what;
    bool mirrored;  // the renderer's mirror of z comes first
    std::optional<ChannelValues> camera, item;
    std::array<float, 16> expected;
  } cases[] = {
      // Heading 90 turns x to -z; the scale (2, 3, 4) then acts on the parent's axes.
      {"item rotated, scaled along parent axes, moved", false, {}, {{1, 2, 3, 90, 0, 0, 2, 3, 4}},
       {0, 0, -4, 0, 0, 3, 0, 0, 2, 0, 0, 0, 1, 2, 3, 1}},
      // x -> y (bank) -> y (heading) -> z (pitch); y -> -x -> z -> -y; z -> z -> x -> x.
      {"item rotates by bank, heading, pitch", false, {}, {{0, 0, 0, 90, 90, 90, 1, 1, 1}},
       {0, 0, 1, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
      // Ry(-90) maps x -> z, z -> -x; the translation (-5, 0, 0) comes out as (0, 0, -5).
      {"camera turns before its translation, ignores scale", false, {{5, 0, 0, 90, 0, 0, 3, 4, 5}}, {},
       {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, -5, 1}},
      // Rx(-90) Ry(-90) Rz(-90): x -> -y -> -y -> z; y -> x -> z -> y; z -> z -> -x -> -x.
      // The exact inverse of the item rotation would be that rotation itself here.
      {"camera negates its angles in the item order", false, {{0, 0, 0, 90, 90, 90, 1, 1, 1}}, {},
       {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1}},
      {"view undoes the item for one angle", false, {{1, -2, 3, 0, 0, 30, 1, 1, 1}}, {{1, -2, 3, 0, 0, 30, 1, 1, 1}},
       {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
      {"item in front of the mirrored camera", true, kStill, {{1, 2, 3, 0, 0, 0, 1, 1, 1}},
       {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1, 2, -3, 1}},
      {"backed-off camera puts the origin ahead", true, {{0, 0, -10, 0, 0, 0, 1, 1, 1}}, kStill,
       {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, -10, 1}},
  };
  for (const Case& c : cases) {
    Matrix4 actual = c.mirrored ? scaling(1, 1, -1) : Matrix4{};
    if (c.camera) actual = actual * viewTransform(*c.camera);
    if (c.item) actual = actual * itemTransform(*c.item);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.m[i], c.expected[i], 1e-5) << c.what << ", element " << i;
  }
}

}  // namespace
}  // namespace tessarine::anim
