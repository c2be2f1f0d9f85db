// The demo's heartbeat: per frame, the show clock decides whether the current scene has run
// out; if so the next one (after the last: the first, with the music restarted) becomes
// current. Then the current scene is drawn. The time runs on through every switch, so the
// picture stays with the music; author mode moves the same clock: it pauses it, or sets it
// to a scene and a time.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "app/show_clock.h"
#include "scene/scene.h"
#include "show/show_timeline.h"

namespace tessarine::app {

// What a frame does besides keeping time, so the rules can run without a window.
struct FrameActions {
  std::function<void(scene::Scene&)> activate;
  std::function<void(scene::Scene&, float seconds)> render;
  // Shows the frame and asks for the next one.
  std::function<void()> present;
};

class FrameLoop {
 public:
  FrameLoop(std::unique_ptr<ShowClock> clock, FrameActions actions);

  // Starts the show at `first`'s start time; the music starts from its beginning once the
  // first frame has been presented. The play
  // list, linked through each scene's `next` and timed by `timeline` (both outliving the
  // loop's use of them), begins again at `first` after its end.
  void start(scene::Scene& first, const show::ShowTimeline& timeline);
  // Goes on in another play list at the same show time, paused if the loop was.
  void replace(scene::Scene& first, const show::ShowTimeline& timeline);
  // One frame: at most one scene switch, then the current scene drawn at the time of a
  // second reading, then presented. Does nothing before start().
  void onDisplay();

  scene::Scene* currentScene() const { return currentScene_; }
  std::size_t currentIndex() const { return currentIndex_; }
  // Seconds of the current scene's own clock.
  double demoTime() const;
  // Seconds since the first scene's start, across the play list.
  double showTime() const;

  // Notes how long the last frame took from the reading of its time to the screen (drawing
  // and the swap): frames are drawn at the moment they will be seen, so a slow frame is not
  // a frame late. Smoothed, and held within kMaxLead.
  void noteFrameShown(double secondsSinceRead);

  // A paused clock stands still, and the music with it; frames go on drawing the same moment.
  void pause();
  void resume();
  bool paused() const { return paused_; }
  // Goes to scene `index` of the play list at `sceneTime` of its own clock (held within
  // its start and end), activates it and moves the music to the same show time.
  void seek(std::size_t index, double sceneTime);
  // The same at a show time, held within the show.
  void seekShowTime(double seconds);

 private:
  // Seconds into the current pass of the show: the clock, or where it was paused.
  double passTime() const;
  double sceneTimeAt(double passTime) const;
  void advance(double passTime);
  scene::Scene& sceneAt(std::size_t index) const;

  std::unique_ptr<ShowClock> clock_;
  FrameActions actions_;
  const show::ShowTimeline* timeline_ = nullptr;
  scene::Scene* firstScene_ = nullptr;
  scene::Scene* currentScene_ = nullptr;
  std::size_t currentIndex_ = 0;
  bool paused_ = false;
  double pausedAt_ = 0;
  double lead_ = 0;  // seconds from a frame's reading to its being seen
  bool starting_ = false;  // the first frame is still to come; the time stands at pausedAt_
};

}  // namespace tessarine::app
