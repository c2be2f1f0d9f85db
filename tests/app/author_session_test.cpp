// Author mode's commands on a two-scene show: where each key leaves the show time, a
// reload that takes over at the same moment, and one that is refused and changes nothing.
#include "app/author_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "render/scene_text.h"
#include "support/temp_dir.h"

namespace tessarine::app {
namespace {

using namespace tessarine::testing;

mesh::Texture noTexture(const mesh::Image&, float) { return mesh::Texture(); }

constexpr show::PlayListEntry kTwoScenes[] = {{"A.lws", 1.0f}, {"B.lws", 1.0f}};

std::string sceneText(std::uint32_t lastFrame) {
  return header(0, lastFrame) + object("square.lwo", still({})) + camera(still({.z = -4}));
}

TEST(AuthorSessionTest, KeysMoveTheShowTimeAndAReloadKeepsItOrChangesNothing) {
  TempDir dir;
  writeSquare(dir, "square.lwo", {200, 120, 40});
  dir.write("A.lws", sceneText(30));
  dir.write("B.lws", sceneText(30));
  auto show = std::make_unique<show::Show>(dir.str(), noTexture);
  show->load(kTwoScenes);
  FrameLoop loop([] { return std::int64_t{0}; }, 1000,
                 {.activate = [](scene::Scene&) {}, .render = [](scene::Scene&, float) {}, .stopMusic = [] {},
                  .playMusic = [] {}, .present = [] {}});
  loop.start(show->firstScene(), &show->timeline());
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> errors(std::tmpfile(), std::fclose);
  AuthorSession session(dir.str(), noTexture, kTwoScenes, errors.get());
  loop.seekShowTime(1.5);

  const struct {
    AuthorCommand command;
    double showTime;
    std::size_t scene;
  } steps[] = {
      {AuthorCommand::kBack, 0, 0},          {AuthorCommand::kForward, 2, 1},       {AuthorCommand::kPreviousScene, 0, 0},
      {AuthorCommand::kPreviousScene, 0, 0}, {AuthorCommand::kNextScene, 1, 1},     {AuthorCommand::kNextScene, 0, 0},
      {AuthorCommand::kForward, 2, 1},       {AuthorCommand::kPauseOrResume, 2, 1}, {AuthorCommand::kOverlay, 2, 1},
  };
  for (const auto& step : steps) {
    session.run(step.command, show, loop);
    EXPECT_DOUBLE_EQ(loop.showTime(), step.showTime) << static_cast<int>(step.command);
    EXPECT_EQ(loop.currentIndex(), step.scene) << static_cast<int>(step.command);
  }
  EXPECT_TRUE(loop.paused());
  EXPECT_FALSE(session.overlayShown());

  // B now lasts two seconds: the new show takes over at the same moment, still paused.
  dir.write("B.lws", sceneText(60));
  const show::Show* before = show.get();
  EXPECT_TRUE(session.reload(show, loop));
  EXPECT_NE(show.get(), before);
  EXPECT_DOUBLE_EQ(show->timeline().length(), 3.0);
  EXPECT_DOUBLE_EQ(loop.showTime(), 2.0);
  EXPECT_EQ(loop.currentScene(), &show->scene(1));
  EXPECT_TRUE(loop.paused());

  std::filesystem::remove(dir.path() / "A.lws");
  before = show.get();
  EXPECT_FALSE(session.reload(show, loop));
  EXPECT_EQ(show.get(), before);
  EXPECT_EQ(loop.currentScene(), &show->scene(1));
  const std::string refusal = "refused: A.lws: I can't open file " + dir.str() + "/A.lws as rt";
  char written[512] = {};
  std::rewind(errors.get());
  std::fread(written, 1, sizeof written - 1, errors.get());
  EXPECT_EQ(written, "Reload " + refusal + "\n");

  for (const double seconds : {0.0, 0.5, 0.9, 1.0}) session.frameDrawn(seconds);
  EXPECT_EQ(session.framesPerSecond(), 3u) << "frames within the last second";
  session.frameDrawn(2.5);
  EXPECT_EQ(session.overlayLines(*show, loop),
            (std::vector<std::string>{"B.lws  scene 2 of 2", "scene 1.00 s  show 2.00 s of 3.00", "1 fps  1 polygons",
                                      "paused", "reload: " + refusal}));
}

}  // namespace
}  // namespace tessarine::app
