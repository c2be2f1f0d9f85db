// Author mode's commands on a two-scene show: where each key leaves the show time, a
// reload that takes over at the same moment, and one that is refused and changes nothing.
#include "app/author_session.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <utility>

#include "headless/headless_gl.h"
#include "support/scene_files.h"
#include "support/temp_dir.h"

namespace tessarine::app {
namespace {

using namespace tessarine::testing;

constexpr show::PlayListEntry kTwoScenes[] = {{"A.lws", 1.0f}, {"B.lws", 1.0f}};

std::string sceneText(std::uint32_t lastFrame) {
  formats::LwsScene lws{.lastFrame = lastFrame, .objects = {object("square.lwo", still({}))}};
  lws.camera.motion = still({.z = -4});
  return formats::writeLws(lws);
}

TEST(AuthorSessionTest, KeysMoveTheShowTimeAndAReloadKeepsItOrChangesNothing) {
  TempDir dir;
  headless::HeadlessGl gl(4, 4);  // a reload makes the new show's textures
  writeSquare(dir.path(), "square.lwo", {200, 120, 40});
  dir.write("A.lws", sceneText(30));
  dir.write("B.lws", sceneText(30));
  Playback playback({.dataDirectory = dir.str(), .playList = kTwoScenes});
  playback.load();
  struct StillClock final : ShowClock {
    void playFrom(double seconds) override { now_ = seconds; }
    void stop() override {}
    double now() override { return now_; }
    double now_ = 0;
  };
  playback.start(std::make_unique<StillClock>(),
                 {.activate = [](scene::Scene&) {}, .render = [](scene::Scene&, float) {}, .present = [] {}});
  FrameLoop& loop = playback.loop();
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> errors(std::tmpfile(), std::fclose);
  AuthorSession session(errors.get());
  loop.seekShowTime(1.5);

  const std::pair<AuthorCommand, double> steps[] = {  // and the show time after it
      {AuthorCommand::kBack, 0},          {AuthorCommand::kForward, 2},   {AuthorCommand::kPreviousScene, 0},
      {AuthorCommand::kNextScene, 1},     {AuthorCommand::kNextScene, 0}, {AuthorCommand::kForward, 2},
      {AuthorCommand::kPauseOrResume, 2}, {AuthorCommand::kOverlay, 2},
  };
  for (const auto& [command, showTime] : steps) {
    session.run(command, playback);
    EXPECT_DOUBLE_EQ(loop.showTime(), showTime) << static_cast<int>(command);
  }

  // B now lasts two seconds: the new show takes over at the same moment, still paused
  // (as the overlay shows at the end).
  dir.write("B.lws", sceneText(60));
  EXPECT_TRUE(session.reload(playback));
  EXPECT_TRUE(glIsTexture(playback.show().context().meshes.begin()->get()->texture().id()));

  // Without A the reload is refused, and the two-second B plays on.
  std::filesystem::remove(dir.path() / "A.lws");
  EXPECT_FALSE(session.reload(playback));

  // Frames within the last second count: three, the one at 0 s is a second old.
  for (const double seconds : {0.0, 0.5, 0.9, 1.0}) session.frameDrawn(seconds);
  const std::string refusal = "reload: refused: A.lws: I can't open file " + dir.str() + "/A.lws as rt";
  EXPECT_EQ(session.overlayLines(playback),
            (std::vector<std::string>{"B.lws  scene 2 of 2", "scene 1.00 s  show 2.00 s of 3.00", "3 fps  1 polygons",
                                      "paused", refusal}));
}

}  // namespace
}  // namespace tessarine::app
