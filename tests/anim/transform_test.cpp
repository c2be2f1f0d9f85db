// Item and viewing transforms checked on a real OpenGL context by reading the modelview
// matrix back. Expected matrices are column-major, as OpenGL returns them.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "anim/motion.h"
#include "headless/headless_gl.h"

namespace tessarine::anim {
namespace {

using Matrix = std::array<float, 16>;

Motion still(ChannelValues values) { return Motion({MotionKey{values}}, 30); }

Matrix modelview() {
  Matrix m{};
  glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
  return m;
}

TEST(TransformTest, ViewAndItemMatricesMeetHandComputedOnes) {
  headless::HeadlessGl gl(4, 4);
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
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (c.mirrored) glScalef(1, 1, -1);
    if (c.camera) still(*c.camera).applyInverseTransform(0);
    if (c.item) still(*c.item).applyTransform(0);
    Matrix actual = modelview();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], c.expected[i], 1e-5) << c.what << ", element " << i;
  }
}

TEST(TransformTest, EvaluatesAtSecondsTimesItsFrameRate) {
  headless::HeadlessGl gl(4, 4);
  MotionKey start{{0, 0, 0, 0, 0, 0, 1, 1, 1}};
  MotionKey end{{30, 0, 0, 0, 0, 0, 1, 1, 1}, 0, 0, 0, 1, 30};
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  Motion({start, end}, 30).applyTransform(0.5);
  EXPECT_FLOAT_EQ(modelview()[12], 15);
  glLoadIdentity();
  Motion({start, end}, 60).applyInverseTransform(0.25);
  EXPECT_FLOAT_EQ(modelview()[12], -15);
}

}  // namespace
}  // namespace tessarine::anim
