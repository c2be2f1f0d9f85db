// The demo's heartbeat: per frame, the clock decides whether the current scene has run
// out; if so the next one (after the last: the first, with the music restarted) becomes
// current and starts at its own start time. Then the current scene is drawn.
// Author mode moves the same clock: it pauses it, or sets it to a scene and a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "scene/scene.h"
#include "show/show_timeline.h"

namespace tessarine::app {

// What a frame does besides keeping time, so the rules can run without a window.
struct FrameActions {
  std::function<void(scene::Scene&)> activate;
  std::function<void(scene::Scene&, float seconds)> render;
  std::function<void()> stopMusic;
  std::function<void()> playMusic;
  // Shows the frame and asks for the next one.
  std::function<void()> present;
  // Author mode only: the music follows a seek (to a show time) and a pause.
  std::function<void(double showSeconds)> seekMusic = [](double) {};
  std::function<void()> pauseMusic = [] {};
  std::function<void()> resumeMusic = [] {};
};

class FrameLoop {
 public:
  using Clock = std::function<std::int64_t()>;

  // `clock` gives ticks, `frequency` ticks per second.
  FrameLoop(Clock clock, std::int64_t frequency, FrameActions actions);

  // Starts the demo time at `first`'s start time, from a fresh clock reading. The play
  // list, linked through each scene's `next`, begins again at `first` after its end.
  // `timeline` (of the same play list, outliving the loop's use of it) is needed by
  // showTime() and the seeks alone.
  void start(scene::Scene& first, const show::ShowTimeline* timeline = nullptr);
  // One frame: at most one scene switch, then the current scene drawn at the demo time
  // of a second reading, then presented. Does nothing before start().
  void onDisplay();

  scene::Scene* currentScene() const { return currentScene_; }
  std::size_t currentIndex() const { return currentIndex_; }
  // Seconds: the current scene's start time plus the time since it started.
  double demoTime() const;
  // Seconds since the first scene's start, across the play list.
  double showTime() const;

  // A paused clock stands still; frames go on drawing the same moment.
  void pause();
  void resume();
  bool paused() const { return paused_; }
  // Goes to scene `index` of the play list at `sceneTime` of its own clock (held within
  // its start and end), activates it and moves the music to the same show time.
  void seek(std::size_t index, double sceneTime);
  // The same at a show time, held within the show.
  void seekShowTime(double seconds);

 private:
  void rebase(double sceneTime);
  scene::Scene& sceneAt(std::size_t index) const;

  Clock clock_;
  std::int64_t frequency_;
  FrameActions actions_;
  const show::ShowTimeline* timeline_ = nullptr;
  scene::Scene* firstScene_ = nullptr;
  scene::Scene* currentScene_ = nullptr;
  std::size_t currentIndex_ = 0;
  std::int64_t clockStart_ = 0;
  double timeOffset_ = 0;
  bool paused_ = false;
};

}  // namespace tessarine::app
