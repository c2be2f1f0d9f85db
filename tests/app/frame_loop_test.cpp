// The frame loop against a show clock it is handed: which scene is drawn at which time,
// where the music is started, and that the time runs on through every switch.
#include "app/frame_loop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
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

std::string fixed(double seconds) {
  char time[32];
  std::snprintf(time, sizeof time, "%.3f", seconds);
  return time;
}

// Stands where the test puts it, moving by `step` at every reading; a play sets it.
struct FakeClock final : ShowClock {
  FakeClock(double& now, double& step, std::vector<std::string>& log) : now_(now), step_(step), log_(log) {}
  void playFrom(double seconds) override {
    log_.push_back("music from " + fixed(seconds));
    now_ = seconds;
  }
  void stop() override { log_.push_back("music stops"); }
  double now() override { return std::exchange(now_, now_ + step_); }
  double& now_;
  double& step_;
  std::vector<std::string>& log_;
};

// Three scenes at 30 frames per second: A from 1 s to 2 s, B from 0 s to 0.5 s, and C
// whose end is its start, 3 s. Every action the loop takes is written to the log.
class FrameLoopTest : public ::testing::Test {
 protected:
  FrameLoopTest()
      : context_(dir_.str()),
        a_(sceneFile("A.lws", 30, 60)),
        b_(sceneFile("B.lws", 0, 15)),
        c_(sceneFile("C.lws", 90, 90)),
        loop_(std::make_unique<FakeClock>(now_, step_, log_),
              {.activate = [this](scene::Scene& scene) { log_.push_back("activate " + scene.fileName.substr(0, 1)); },
               .render =
                   [this](scene::Scene& scene, float seconds) {
                     log_.push_back("render " + scene.fileName.substr(0, 1) + " " + fixed(seconds));
                   },
               .present = [this] { log_.push_back("present"); }}) {
    a_.next = &b_;
    b_.next = &c_;
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
  double now_ = 0;
  double step_ = 0;
  std::vector<std::string> log_;
  // A, B and C take 1 s, 0.5 s and no show time.
  show::ShowTimeline timeline_{{{1, 2}, {0, 0.5}, {3, 3}}};
  FrameLoop loop_;
};

TEST_F(FrameLoopTest, SwitchesOneSceneAFrameAndTheTimeRunsOnThroughEachSwitch) {
  struct Frame {
    const char* name;
    double clock;  // show time at the frame's first reading
    double step;   // how far the clock moves between two readings
    std::vector<std::string> expected;
  };
  const Frame frames[] = {
      {"the end time itself is drawn once more", 1.0, 0, {"render A 2.000", "present"}},
      {"drawn at the second reading, past the end", 1.0, 0.001, {"render A 2.001", "present"}},
      {"past the end: the next scene, what the frame overshot carried over", 1.02, 0,
       {"activate B", "render B 0.020", "present"}},
      {"ten seconds late: still only the next scene", 11.0, 0, {"activate C", "render C 12.500", "present"}},
      {"an empty scene lasts one frame; then the first with the music from the overshoot", 11.0, 0,
       {"music from 9.500", "activate A", "render A 10.500", "present"}},
      {"on time again: scene by scene", 1.1, 0, {"activate B", "render B 0.100", "present"}},
      {"the wrap carries the overshoot into the music", 1.53, 0,
       {"activate C", "render C 3.030", "present"}},
      {"", 1.53, 0, {"music from 0.030", "activate A", "render A 1.030", "present"}},
  };
  loop_.start(a_, timeline_);
  now_ = 5;  // however long the first frame takes, the music starts after it
  loop_.onDisplay();
  EXPECT_EQ(log_, (std::vector<std::string>{"render A 1.000", "present", "music from 0.000"}));
  for (const Frame& frame : frames) {
    SCOPED_TRACE(frame.name);
    now_ = frame.clock;
    step_ = frame.step;
    log_.clear();
    loop_.onDisplay();
    EXPECT_EQ(log_, frame.expected);
  }
  // Frames that take 0.1 s to reach the screen are drawn 0.1 s ahead, once that has settled.
  for (int frame = 0; frame < 200; ++frame) loop_.noteFrameShown(0.1);
  now_ = 0.2;
  log_.clear();
  loop_.onDisplay();
  EXPECT_EQ(log_, (std::vector<std::string>{"render A 1.300", "present"}));
}

TEST_F(FrameLoopTest, PausesSeeksAndReplacesOnTheSameClockWithTheMusicAlong) {
  using Command = std::function<void(FrameLoop&)>;
  const Command none = [](FrameLoop&) {};
  const std::tuple<double, Command, std::vector<std::string>> steps[] = {  // then one frame
      {0, none, {"render A 1.000", "present", "music from 0.000"}},
      {0.5, [](FrameLoop& l) { l.pause(); }, {"music stops", "render A 1.500", "present"}},
      {1.5, none, {"render A 1.500", "present"}},  // a second later, the same moment
      {1.5, [](FrameLoop& l) { l.resume(); }, {"music from 0.500", "render A 1.500", "present"}},
      {0.7, [](FrameLoop& l) { l.seekShowTime(1.2); }, {"activate B", "music from 1.200", "render B 0.200", "present"}},
      {1.2, [](FrameLoop& l) { l.seek(2, 0); }, {"activate C", "music from 1.500", "render C 3.000", "present"}},
      {1.501, none, {"music from 0.001", "activate A", "render A 1.001", "present"}},
      {0.001, [](FrameLoop& l) { l.pause(), l.seek(0, 1.25); }, {"music stops", "activate A", "render A 1.250", "present"}},
      {9.0, none, {"render A 1.250", "present"}},  // a seek while paused stays paused
  };
  loop_.start(a_, timeline_);
  for (const auto& [clock, command, expected] : steps) {
    now_ = clock;
    log_.clear();
    command(loop_);
    loop_.onDisplay();
    EXPECT_EQ(log_, expected) << "at " << clock;
  }
  // Another play list takes over at the same show time, still paused and silent.
  const show::ShowTimeline shorter{{{0, 0.5}, {3, 3}}};
  log_.clear();
  loop_.replace(b_, shorter);
  EXPECT_EQ(log_, std::vector<std::string>{"activate B"});
  EXPECT_TRUE(loop_.paused());
  EXPECT_DOUBLE_EQ(loop_.showTime(), 0.25);
}

}  // namespace
}  // namespace tessarine::app
