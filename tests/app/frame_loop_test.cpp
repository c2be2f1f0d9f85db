// The frame loop against a clock it is handed: which scene is drawn at which time, and
// when the music starts again.
#include "app/frame_loop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/scene_files.h"
#include "scene/demo_context.h"
#include "scene/scene.h"
#include "support/temp_dir.h"

namespace tessarine::app {
namespace {

using testing::still;

constexpr std::int64_t kTicksPerSecond = 1000;

mesh::Texture noTexture(const mesh::Image&, float) { return mesh::Texture(); }

// Three scenes at 30 frames per second: A from 1 s to 2 s, B from 0 s to 0.5 s, and C
// whose end is its start, 3 s. Every action the loop takes is written to the log.
class FrameLoopTest : public ::testing::Test {
 protected:
  FrameLoopTest()
      : context_(dir_.str(), noTexture),
        a_(sceneFile("A.lws", 30, 60)),
        b_(sceneFile("B.lws", 0, 15)),
        c_(sceneFile("C.lws", 90, 90)),
        loop_([this] { return std::exchange(now_, now_ + ticksPerReading_); }, kTicksPerSecond,
              {.activate = [this](scene::Scene& scene) { log_.push_back("activate " + scene.fileName.substr(0, 1)); },
               .render =
                   [this](scene::Scene& scene, float seconds) {
                     log_.push_back("render " + scene.fileName.substr(0, 1) + " " + fixed(seconds));
                     shakes_.push_back(std::rand());
                   },
               .stopMusic = [this] { log_.push_back("stop"); },
               .playMusic = [this] { log_.push_back("play"); },
               .present = [this] { log_.push_back("present"); },
               .seekMusic = [this](double seconds) { log_.push_back("music at " + fixed(seconds)); },
               .pauseMusic = [this] { log_.push_back("pause"); },
               .resumeMusic = [this] { log_.push_back("resume"); }}) {
    a_.next = &b_;
    b_.next = &c_;
  }

  static std::string fixed(double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    return time;
  }

  scene::Scene sceneFile(const std::string& name, std::uint32_t first, std::uint32_t last) {
    formats::LwsScene lws{.firstFrame = first, .lastFrame = last};
    lws.camera.motion = still({});
    dir_.write(name, formats::writeLws(lws));
    return scene::Scene(context_, name, 1.0f);
  }

  testing::TempDir dir_;
  scene::DemoContext context_;
  scene::Scene a_, b_, c_;
  std::int64_t now_ = 0;
  std::int64_t ticksPerReading_ = 0;
  std::vector<std::string> log_;
  std::vector<int> shakes_;
  // A, B and C take 1 s, 0.5 s and no show time.
  show::ShowTimeline timeline_{{{1, 2}, {0, 0.5}, {3, 3}}};
  FrameLoop loop_;
};

TEST_F(FrameLoopTest, SwitchesOneSceneAFrameAtItsOwnStartTime) {
  struct Frame {
    const char* name;
    std::int64_t clock;           // reading at the start of the frame
    std::int64_t ticksPerReading;  // how far the clock moves between two readings
    std::vector<std::string> expected;
  };
  const Frame frames[] = {
      {"the end time itself is drawn once more", 1000, 0, {"render A 2.000", "present"}},
      {"drawn at the second reading, past the end", 1000, 1, {"render A 2.001", "present"}},
      {"past the end: the next scene from its start", 1001, 0, {"activate B", "render B 0.000", "present"}},
      {"ten seconds late: still only the next scene", 11001, 0, {"activate C", "render C 3.000", "present"}},
      {"an empty scene lasts one frame; then the first with the music restarted", 11002, 0,
       {"stop", "play", "activate A", "render A 1.000", "present"}},
      {"the first scene again from its start", 11502, 0, {"render A 1.500", "present"}},
  };
  loop_.start(a_);
  EXPECT_DOUBLE_EQ(loop_.demoTime(), 1.0) << "the show starts at the first scene's start time";
  for (const Frame& frame : frames) {
    SCOPED_TRACE(frame.name);
    now_ = frame.clock;
    ticksPerReading_ = frame.ticksPerReading;
    log_.clear();
    loop_.onDisplay();
    EXPECT_EQ(log_, frame.expected);
  }
}

TEST_F(FrameLoopTest, PausesAndSeeksOnTheSameClockWithTheMusicAlong) {
  using Command = std::function<void(FrameLoop&)>;
  const Command none = [](FrameLoop&) {};
  const std::tuple<std::int64_t, Command, std::vector<std::string>> steps[] = {  // then one frame
      {500, [](FrameLoop& l) { l.pause(); }, {"pause", "render A 1.500", "present"}},
      {1500, none, {"render A 1.500", "present"}},  // a second later, the same moment
      {1500, [](FrameLoop& l) { l.resume(); }, {"resume", "render A 1.500", "present"}},
      {1700, [](FrameLoop& l) { l.seekShowTime(1.2); }, {"activate B", "music at 1.200", "render B 0.200", "present"}},
      {1700, [](FrameLoop& l) { l.seek(2, 0); }, {"activate C", "music at 1.500", "render C 3.000", "present"}},
      {1701, none, {"stop", "play", "activate A", "render A 1.000", "present"}},
      {1701, [](FrameLoop& l) { l.pause(), l.seek(0, 1.25); },
       {"pause", "activate A", "music at 0.250", "render A 1.250", "present"}},
      {9000, none, {"render A 1.250", "present"}},  // a seek while paused stays paused
  };
  loop_.start(a_, &timeline_);
  for (const auto& [clock, command, expected] : steps) {
    now_ = clock;
    log_.clear();
    command(loop_);
    loop_.onDisplay();
    EXPECT_EQ(log_, expected) << "at " << clock;
  }
  EXPECT_EQ(shakes_[0], shakes_[1]) << "a paused frame shakes the camera the same way";
}

}  // namespace
}  // namespace tessarine::app
