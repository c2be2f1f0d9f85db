// The window's aspect ratio, and the last one kept for a window that has no area.
#include "app/window_rules.h"

#include <gtest/gtest.h>

namespace tessarine::app {
namespace {

TEST(AspectTest, AWindowWithoutAreaKeepsTheLastValidAspect) {
  struct Case {
    int width, height;
    float previous, expected;
  };
  const Case cases[] = {{800, 600, 1.0f, 4.0f / 3.0f}, {1280, 720, 1.0f, 16.0f / 9.0f}, {400, 0, 1.5f, 1.5f},
                        {0, 300, 1.5f, 1.5f},          {-4, 3, 1.5f, 1.5f}};
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(aspectFor(c.width, c.height, c.previous), c.expected) << c.width << " x " << c.height;
  }
}

}  // namespace
}  // namespace tessarine::app
