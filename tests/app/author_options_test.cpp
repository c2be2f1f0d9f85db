// Author mode's command line: where the show starts, and refusals that say what was wrong.
#include "app/author_options.h"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

namespace tessarine::app {
namespace {

TEST(AuthorOptionsTest, ChoosesTheStartOrSaysWhatWasExpected) {
  const std::string scenes =
      "a scene of the play list (S1.lws, S2.lws, S3.lws, S4.lws, S4b.lws, S5.lws) or its number from 1 to 6";
  const struct {
    const char* line;
    std::optional<std::size_t> scene;
    std::optional<double> seconds;
    std::string refusal;
  } cases[] = {
      {"", {}, {}, ""},
      {"-a --scene S4b --at 1.5", 4, 1.5, ""},
      {"--author --scene 6 --watch", 5, {}, ""},
      {"--author --scene 7", {}, {}, "--scene 7: expected " + scenes},
      {"--author --at -0.5", {}, {}, "--at -0.5: expected seconds, a number from 0 up"},
      {"--scene S1", {}, {}, "--scene S1: expected --author with it"},
  };
  for (const auto& c : cases) {
    CLI::App cli;
    AuthorOptions options;
    addAuthorOptions(cli, options);
    cli.parse(c.line, false);
    EXPECT_EQ(checkAuthorOptions(options), c.refusal) << c.line;
    EXPECT_TRUE(!c.refusal.empty() || (options.sceneIndex == c.scene && options.seconds == c.seconds)) << c.line;
  }
  // Given empty, as the shell passes --scene "": no scene of the play list, not no --scene.
  AuthorOptions empty{.author = true, .scene = ""};
  EXPECT_EQ(checkAuthorOptions(empty), "--scene \"\": expected " + scenes);
}

}  // namespace
}  // namespace tessarine::app
