// The start-up against a platform that answers as it is told: what a refusal prints, what
// it leaves behind, and the play list built in order.
#include "app/driver.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "headless/headless_gl.h"
#include "support/scene_files.h"
#include "support/temp_dir.h"

namespace tessarine::app {
namespace {


// Answers as it is told and logs every call.
class FakePlatform final : public platform::Platform {
 public:
  FakePlatform(bool grantPriority, bool screenSaverActive) : grant_(grantPriority), active_(screenSaverActive) {}
  bool requestHighPriority() override { return answer("priority", grant_); }
  bool screenSaverActive() override { return answer("screen saver?", active_); }
  void suspendScreenSaver(bool suspend) override {
    calls.push_back(suspend ? "suspend" : "resume");
    if (!suspend && onResume) onResume();
  }

  std::vector<std::string> calls;
  std::function<void()> onResume;

 private:
  bool answer(const char* call, bool value) {
    calls.push_back(call);
    return value;
  }

  bool grant_, active_;
};

class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest() : gl_(4, 4) {
    options_.load.dataDirectory = dir_.str();
    options_.errorOutput = output_.get();
    testing::writeSquare(dir_.path(), "shared.lwo", {255, 255, 255});
  }

  // Everything the start-up printed.
  std::string printed() const {
    std::string text(static_cast<std::size_t>(std::ftell(output_.get())), '\0');
    std::rewind(output_.get());
    return text.substr(0, std::fread(text.data(), 1, text.size(), output_.get()));
  }

  // A scene of the play list with the shared object; its backdrop red tells scenes apart.
  void writeScene(const show::PlayListEntry& entry, int red) {
    formats::LwsScene lws{.objects = {testing::object("shared.lwo", testing::still({}))}, .backdropColor = {red, 0, 0}};
    lws.camera.motion = testing::still({});
    dir_.write(std::string(entry.fileName), formats::writeLws(lws));
  }

  FakePlatform& usePlatform(bool grantPriority, bool screenSaverActive) {
    driver_.platform = std::make_unique<FakePlatform>(grantPriority, screenSaverActive);
    return static_cast<FakePlatform&>(*driver_.platform);
  }

  // Stands in for the program's quitDemo, which would end the process here.
  std::function<void()> quit() {
    return [this] {
      ++quitCalls_;
      showAtQuit_ = driver_.playback && driver_.playback->loaded() ? &driver_.playback->show() : nullptr;
      scenesAtQuit_ = showAtQuit_ ? showAtQuit_->sceneCount() : 0;
      driver_.release();
    };
  }

  testing::TempDir dir_;
  headless::HeadlessGl gl_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> output_{std::tmpfile(), &std::fclose};
  StartUpOptions options_;
  Driver driver_;
  int quitCalls_ = 0;
  show::Show* showAtQuit_ = nullptr;  // released after the count is taken
  std::size_t scenesAtQuit_ = 0;
};

TEST_F(StartUpTest, ARefusedPriorityEndsTheStartUpBeforeTheScreenSaverIsTouched) {
  FakePlatform& platform = usePlatform(false, true);
  startUp(driver_, quit(), options_);
  EXPECT_EQ(printed(), "... And the Error is : I can't get High Priority !");
  EXPECT_EQ(quitCalls_, 1);
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"priority"}));
  EXPECT_EQ(driver_.playback, nullptr);
}

TEST_F(StartUpTest, AMissingSceneReleasesWhatWasReadAndRestoresTheScreenSaver) {
  writeScene(show::kPlayList[0], 10);
  writeScene(show::kPlayList[1], 20);
  FakePlatform& platform = usePlatform(true, true);
  // The screen saver comes back after the scenes are gone, while the meshes they shared
  // are still there.
  std::size_t scenesAtResume = 99, meshesAtResume = 0;
  platform.onResume = [&] {
    scenesAtResume = showAtQuit_->sceneCount();
    meshesAtResume = showAtQuit_->context().meshes.size();
  };
  startUp(driver_, quit(), options_);

  EXPECT_EQ(printed(), "... And the Error is : I can't open file " + dir_.str() + "/S3.lws as rt !");
  EXPECT_EQ(quitCalls_, 1);
  EXPECT_EQ(scenesAtQuit_, 2u);
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"priority", "screen saver?", "suspend", "resume"}));
  EXPECT_EQ(scenesAtResume, 0u);
  EXPECT_EQ(meshesAtResume, 1u);
  EXPECT_EQ(driver_.playback, nullptr);
}

TEST_F(StartUpTest, BuildsThePlayListAndActivatesTheFirstScene) {
  for (std::size_t i = 0; i < show::kPlayList.size(); ++i) writeScene(show::kPlayList[i], static_cast<int>(10 * (i + 1)));
  FakePlatform& platform = usePlatform(true, false);
  startUp(driver_, quit(), options_);

  EXPECT_EQ(std::tuple(printed(), quitCalls_), std::tuple("", 0));

  std::array<GLfloat, 4> clear{};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
  EXPECT_NEAR(clear[0], 10.0f / 255, 1e-6) << "the first scene's backdrop";
  EXPECT_TRUE(glIsTexture(driver_.playback->show().context().meshes.begin()->get()->texture().id())) << "textures made";

  driver_.release();
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"priority", "screen saver?"}))
      << "a screen saver that was off is left alone";
}

}  // namespace
}  // namespace tessarine::app
