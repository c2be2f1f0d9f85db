// Item and viewing transforms against matrices worked out by hand. Expected matrices are
// column-major, as OpenGL takes them.
#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "anim/matrix.h"
#include "anim/motion.h"

namespace tessarine::anim {
namespace {

using Matrix = std::array<float, 16>;

TEST(TransformTest, ViewAndItemMatricesMeetHandComputedOnes) {
  constexpr ChannelValues kStill{0, 0, 0, 0, 0, 0, 1, 1, 1};
  struct Case {
    const char* what;
    bool mirrored;  // the renderer's mirror of z comes first
    std::optional<ChannelValues> camera, item;
    Matrix expected;
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

TEST(TransformTest, EvaluatesAtSecondsTimesItsFrameRate) {
  const std::vector<MotionKey> keys{{{0, 0, 0, 0, 0, 0, 1, 1, 1}}, {{30, 0, 0, 0, 0, 0, 1, 1, 1}, 0, 0, 0, 1, 30}};
  EXPECT_FLOAT_EQ(Motion(keys, 30).valueAt(0.5)[kPositionX], 15);
  EXPECT_FLOAT_EQ(Motion(keys, 60).valueAt(0.25)[kPositionX], 15);
}

}  // namespace
}  // namespace tessarine::anim
