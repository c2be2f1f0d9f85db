// The demo's heartbeat: per frame, the clock decides whether the current scene has run
// out; if so the next one (after the last: the first, with the music restarted) becomes
// current and starts at its own start time. Then the current scene is drawn.
#pragma once

#include <cstdint>
#include <functional>

#include "scene/scene.h"

namespace tessarine::app {

// What a frame does besides keeping time, so the rules can run without a window.
struct FrameActions {
  std::function<void(scene::Scene&)> activate;
  std::function<void(scene::Scene&, float seconds)> render;
  std::function<void()> stopMusic;
  std::function<void()> playMusic;
  // Shows the frame and asks for the next one.
  std::function<void()> present;
};

class FrameLoop {
 public:
  using Clock = std::function<std::int64_t()>;

  // `clock` gives ticks, `frequency` ticks per second.
  FrameLoop(Clock clock, std::int64_t frequency, FrameActions actions);

  // Starts the demo time at `first`'s start time, from a fresh clock reading. The play
  // list, linked through each scene's `next`, begins again at `first` after its end.
  void start(scene::Scene& first);
  // One frame: at most one scene switch, then the current scene drawn at the demo time
  // of a second reading, then presented. Does nothing before start().
  void onDisplay();

  scene::Scene* currentScene() const { return currentScene_; }
  // Seconds: the current scene's start time plus the time since it started.
  double demoTime() const;

 private:
  void rebase(scene::Scene& scene);

  Clock clock_;
  std::int64_t frequency_;
  FrameActions actions_;
  scene::Scene* firstScene_ = nullptr;
  scene::Scene* currentScene_ = nullptr;
  std::int64_t clockStart_ = 0;
  double timeOffset_ = 0;
};

}  // namespace tessarine::app
