#include "app/window_rules.h"

#include <gtest/gtest.h>

#include <utility>

namespace tessarine::app {
namespace {

TEST(AspectTest, AWindowWithoutAreaKeepsTheLastValidAspect) {
  struct Case {
    int width, height;
    float previous, expected;
  };
  const Case cases[] = {
      {800, 600, 1.0f, 4.0f / 3.0f}, {400, 300, 2.0f, 4.0f / 3.0f}, {1280, 720, 1.0f, 16.0f / 9.0f},
      {1, 1, 2.0f, 1.0f},            {400, 0, 1.5f, 1.5f},           {0, 300, 1.5f, 1.5f},
      {0, 0, 1.5f, 1.5f},            {-4, 3, 1.5f, 1.5f},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(aspectFor(c.width, c.height, c.previous), c.expected) << c.width << " x " << c.height;
  }
}

TEST(AuthorKeyTest, AuthorKeysLeaveTheShowsOwnKeysAlone) {
  const std::pair<unsigned char, AuthorCommand> keys[] = {
      {' ', AuthorCommand::kPauseOrResume}, {'r', AuthorCommand::kReload}, {'R', AuthorCommand::kReload},
      {'h', AuthorCommand::kOverlay},       {'H', AuthorCommand::kOverlay}, {'q', AuthorCommand::kNone},
      {27, AuthorCommand::kNone},           {'w', AuthorCommand::kNone},    {'f', AuthorCommand::kNone},
  };
  for (const auto& [key, command] : keys) EXPECT_EQ(authorKeyCommand(key), command) << key;
  const std::pair<int, AuthorCommand> specials[] = {
      {100, AuthorCommand::kBack},         {102, AuthorCommand::kForward},   {104, AuthorCommand::kPreviousScene},
      {105, AuthorCommand::kNextScene},    {106, AuthorCommand::kShowStart}, {101, AuthorCommand::kNone},
      {103, AuthorCommand::kNone},         {1, AuthorCommand::kNone},
  };
  for (const auto& [key, command] : specials) EXPECT_EQ(authorSpecialKeyCommand(key), command) << key;
}

}  // namespace
}  // namespace tessarine::app
