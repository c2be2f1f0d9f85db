// Author mode's command line: where the show starts, and refusals that say what was wrong.
#include "app/author_options.h"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

namespace tessarine::app {
namespace {

TEST(AuthorOptionsTest, ChoosesTheStartOrSaysWhatWasExpected) {
  struct Case {
    const char* line;
    std::optional<std::size_t> scene;
    std::optional<double> seconds;
    std::string refusal;
  };
  const std::string scenes = "a scene of the play list (S1.lws, S2.lws, S3.lws, S4.lws, S4b.lws, S5.lws) or its number from 1 to 6";
  const Case cases[] = {
      {"", {}, {}, ""},
      {"-a --scene S4b", 4, {}, ""},
      {"--author --scene S4b.lws --at 1.5", 4, 1.5, ""},
      {"--author --scene 6", 5, {}, ""},
      {"--author --at 12.25", {}, 12.25, ""},
      {"--author --watch", {}, {}, ""},
      {"--author --scene 0", {}, {}, "--scene 0: expected " + scenes},
      {"--author --scene 7", {}, {}, "--scene 7: expected " + scenes},
      {"--author --scene s4b", {}, {}, "--scene s4b: expected " + scenes},
      {"--author --scene 2x", {}, {}, "--scene 2x: expected " + scenes},
      {"--author --at x", {}, {}, "--at x: expected seconds, a number from 0 up"},
      {"--author --at -0.5", {}, {}, "--at -0.5: expected seconds, a number from 0 up"},
      {"--author --at inf", {}, {}, "--at inf: expected seconds, a number from 0 up"},
      {"--scene S1", {}, {}, "--scene S1: expected --author with it"},
      {"--at 3", {}, {}, "--at 3: expected --author with it"},
      {"--watch", {}, {}, "--watch: expected --author with it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    CLI::App cli;
    AuthorOptions options;
    addAuthorOptions(cli, options);
    cli.parse(c.line, false);
    EXPECT_EQ(checkAuthorOptions(options), c.refusal);
    if (!c.refusal.empty()) continue;
    EXPECT_EQ(options.sceneIndex, c.scene);
    EXPECT_EQ(options.seconds, c.seconds);
  }
}

}  // namespace
}  // namespace tessarine::app
