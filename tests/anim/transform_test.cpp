// Item and viewing transforms checked on a real OpenGL context by reading the modelview
// matrix back. Expected matrices are column-major, as OpenGL returns them.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

#include "anim/motion.h"
#include "headless/headless_gl.h"

namespace tessarine::anim {
namespace {

using Matrix = std::array<float, 16>;

constexpr float kFps = 30;

class TransformTest : public ::testing::Test {
 protected:
  TransformTest() : gl_(4, 4) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  static Motion still(ChannelValues values) { return Motion({MotionKey{values}}, kFps); }

  static Matrix modelview() {
    Matrix m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
  }

  static void expectMatrix(const Matrix& expected) {
    Matrix actual = modelview();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5) << "element " << i;
  }

  headless::HeadlessGl gl_;
};

TEST_F(TransformTest, ItemIsRotatedThenScaledAlongParentAxesThenMoved) {
  // Heading 90 turns x to -z; the scale (2, 3, 4) then acts on the parent's axes.
  Motion motion = still({1, 2, 3, 90, 0, 0, 2, 3, 4});
  motion.applyTransform(0);
  expectMatrix({0, 0, -4, 0, 0, 3, 0, 0, 2, 0, 0, 0, 1, 2, 3, 1});
}

TEST_F(TransformTest, ItemRotatesByBankThenHeadingThenPitch) {
  // x -> y (bank) -> y (heading) -> z (pitch); y -> -x -> z -> -y; z -> z -> x -> x.
  Motion motion = still({0, 0, 0, 90, 90, 90, 1, 1, 1});
  motion.applyTransform(0);
  expectMatrix({0, 0, 1, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1});
}

TEST_F(TransformTest, CameraWithHeading90TurnsBeforeItsTranslationAndIgnoresScale) {
  // Ry(-90) maps x -> z, z -> -x; the translation (-5, 0, 0) comes out as (0, 0, -5).
  Motion camera = still({5, 0, 0, 90, 0, 0, 3, 4, 5});
  camera.applyInverseTransform(0);
  expectMatrix({0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, -5, 1});
}

TEST_F(TransformTest, CameraNegatesItsAnglesInTheItemOrder) {
  // Rx(-90) Ry(-90) Rz(-90): x -> -y -> -y -> z; y -> x -> z -> y; z -> z -> -x -> -x.
  // The exact inverse of the item rotation would be that rotation itself here.
  Motion camera = still({0, 0, 0, 90, 90, 90, 1, 1, 1});
  camera.applyInverseTransform(0);
  expectMatrix({0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1});
}

TEST_F(TransformTest, ViewUndoesTheItemTransformForOneAngleAndUnitScale) {
  Motion motion = still({1, -2, 3, 0, 0, 30, 1, 1, 1});
  motion.applyInverseTransform(0);
  motion.applyTransform(0);
  expectMatrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

TEST_F(TransformTest, EvaluatesAtSecondsTimesItsFrameRate) {
  MotionKey start{{0, 0, 0, 0, 0, 0, 1, 1, 1}};
  MotionKey end{{30, 0, 0, 0, 0, 0, 1, 1, 1}};
  end.frame = 30;
  end.linear = 1;
  Motion at30({start, end}, 30);
  at30.applyTransform(0.5);
  EXPECT_FLOAT_EQ(modelview()[12], 15);
  EXPECT_FLOAT_EQ(at30.current()[kPositionX], 15);
  glLoadIdentity();
  Motion at60({start, end}, 60);
  at60.applyInverseTransform(0.25);
  EXPECT_FLOAT_EQ(modelview()[12], -15);
}

TEST_F(TransformTest, ItemsSitInFrontOfTheMirroredCamera) {
  // The renderer's mirror of z, then the camera's view, then the item.
  glScalef(1, 1, -1);
  Motion camera = still({0, 0, 0, 0, 0, 0, 1, 1, 1});
  Motion object = still({1, 2, 3, 0, 0, 0, 1, 1, 1});
  camera.applyInverseTransform(0);
  object.applyTransform(0);
  expectMatrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1, 2, -3, 1});

  glLoadIdentity();
  glScalef(1, 1, -1);
  Motion backedOff = still({0, 0, -10, 0, 0, 0, 1, 1, 1});
  Motion atOrigin = still({0, 0, 0, 0, 0, 0, 1, 1, 1});
  backedOff.applyInverseTransform(0);
  atOrigin.applyTransform(0);
  EXPECT_NEAR(modelview()[14], -10, 1e-5);
}

}  // namespace
}  // namespace tessarine::anim
