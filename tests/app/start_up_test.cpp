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
#include "render/scene_text.h"
#include "support/temp_dir.h"

namespace tessarine::app {
namespace {

using testing::still;

class FakePlatform final : public platform::Platform {
 public:
  FakePlatform(bool grantPriority, bool screenSaverActive)
      : grantPriority_(grantPriority), screenSaverActive_(screenSaverActive) {}

  bool requestHighPriority() override {
    calls.push_back("priority");
    return grantPriority_;
  }
  bool screenSaverActive() override {
    calls.push_back("screen saver?");
    return screenSaverActive_;
  }
  void suspendScreenSaver(bool suspend) override {
    calls.push_back(suspend ? "suspend" : "resume");
    if (!suspend && onResume) onResume();
  }

  std::vector<std::string> calls;
  std::function<void()> onResume;

 private:
  bool grantPriority_;
  bool screenSaverActive_;
};

// Everything the start-up printed, read back from a temporary file.
class Output {
 public:
  Output() : file_(std::tmpfile()) {}
  ~Output() { std::fclose(file_); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  std::FILE* file() const { return file_; }
  std::string text() const {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_)) text.push_back(static_cast<char>(c));
    return text;
  }

 private:
  std::FILE* file_;
};

class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest() : gl_(4, 4) {
    options_.dataDirectory = dir_.str();
    options_.errorOutput = output_.file();
    testing::writeSquare(dir_, "shared.lwo", {255, 255, 255});
  }

  // A scene of the play list with the shared object; its backdrop red tells scenes apart.
  void writeScene(const PlayListEntry& entry, int red) {
    dir_.write(std::string(entry.fileName), testing::header(0, 30) + testing::object("shared.lwo", still({})) +
                                                "BackdropColor " + std::to_string(red) + " 0 0\n" +
                                                testing::camera(still({})));
  }

  FakePlatform& usePlatform(bool grantPriority, bool screenSaverActive) {
    auto platform = std::make_unique<FakePlatform>(grantPriority, screenSaverActive);
    FakePlatform& fake = *platform;
    driver_.platform = std::move(platform);
    return fake;
  }

  // Stands in for the program's quitDemo, which would end the process here.
  std::function<void()> quit() {
    return [this] {
      ++quitCalls_;
      scenesAtQuit_ = driver_.sequence ? driver_.sequence->sceneCount() : 0;
      driver_.release();
    };
  }

  testing::TempDir dir_;
  headless::HeadlessGl gl_;
  Output output_;
  StartUpOptions options_;
  Driver driver_;
  int quitCalls_ = 0;
  std::size_t scenesAtQuit_ = 0;
};

TEST_F(StartUpTest, ARefusedPriorityEndsTheStartUpBeforeTheScreenSaverIsTouched) {
  FakePlatform& platform = usePlatform(false, true);
  startUp(driver_, quit(), options_);
  EXPECT_EQ(output_.text(), "... And the Error is : I can't get High Priority !");
  EXPECT_EQ(quitCalls_, 1);
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"priority"}));
  EXPECT_EQ(driver_.sequence, nullptr);
}

TEST_F(StartUpTest, AMissingSceneReleasesWhatWasReadAndRestoresTheScreenSaver) {
  writeScene(kPlayList[0], 10);
  writeScene(kPlayList[1], 20);
  FakePlatform& platform = usePlatform(true, true);
  // The screen saver comes back after the scenes are gone, while the meshes they shared
  // are still there.
  DemoSequence* sequence = nullptr;
  std::size_t scenesAtResume = 99;
  std::size_t meshesAtResume = 0;
  platform.onResume = [&] {
    scenesAtResume = sequence->sceneCount();
    meshesAtResume = sequence->context().meshes.size();
  };
  startUp(
      driver_,
      [&] {
        sequence = driver_.sequence.get();
        quit()();
      },
      options_);

  EXPECT_EQ(output_.text(), "... And the Error is : I can't open file " + dir_.str() + "/S3.lws as rt !");
  EXPECT_EQ(quitCalls_, 1);
  EXPECT_EQ(scenesAtQuit_, 2u);
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"priority", "screen saver?", "suspend", "resume"}));
  EXPECT_EQ(scenesAtResume, 0u);
  EXPECT_EQ(meshesAtResume, 1u);
  EXPECT_EQ(driver_.sequence, nullptr);
}

TEST_F(StartUpTest, BuildsThePlayListInOrderAndActivatesTheFirstScene) {
  for (std::size_t i = 0; i < kPlayList.size(); ++i) writeScene(kPlayList[i], static_cast<int>(10 * (i + 1)));
  FakePlatform& platform = usePlatform(true, false);
  startUp(driver_, quit(), options_);

  EXPECT_EQ(output_.text(), "");
  EXPECT_EQ(quitCalls_, 0);
  ASSERT_NE(driver_.sequence, nullptr);
  EXPECT_FALSE(driver_.sequence->screenSaverWasActive());
  const scene::Scene* scene = driver_.sequence->firstScene();
  for (const PlayListEntry& entry : kPlayList) {
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->fileName, entry.fileName);
    EXPECT_EQ(scene->nearPlane, entry.nearPlane);
    scene = scene->next;
  }
  EXPECT_EQ(scene, nullptr);
  EXPECT_EQ(driver_.sequence->lastScene()->fileName, "S5.lws");
  EXPECT_EQ(driver_.sequence->context().meshes.size(), 1u) << "one object file, read once";

  std::array<GLfloat, 4> clear{};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
  EXPECT_NEAR(clear[0], 10.0f / 255, 1e-6) << "the first scene's backdrop";

  driver_.release();
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"priority", "screen saver?"}))
      << "a screen saver that was off is left alone";
}

}  // namespace
}  // namespace tessarine::app
