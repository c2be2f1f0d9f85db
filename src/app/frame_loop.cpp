#include "app/frame_loop.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>

namespace tessarine::app {

FrameLoop::FrameLoop(Clock clock, std::int64_t frequency, FrameActions actions)
    : clock_(std::move(clock)), frequency_(frequency), actions_(std::move(actions)) {}

void FrameLoop::start(scene::Scene& first, const show::ShowTimeline* timeline) {
  timeline_ = timeline;
  firstScene_ = &first;
  currentScene_ = &first;
  currentIndex_ = 0;
  rebase(first.startTime);
}

void FrameLoop::rebase(double sceneTime) {
  timeOffset_ = sceneTime;
  clockStart_ = clock_();
}

double FrameLoop::demoTime() const {
  if (paused_) return timeOffset_;
  const std::int64_t elapsed = clock_() - clockStart_;
  return static_cast<double>(elapsed) / static_cast<double>(frequency_) + timeOffset_;
}

double FrameLoop::showTime() const {
  if (timeline_ == nullptr || currentScene_ == nullptr) return 0;
  return timeline_->startOf(currentIndex_) + (demoTime() - currentScene_->startTime);
}

void FrameLoop::onDisplay() {
  if (currentScene_ == nullptr) return;
  // One switch at most, however long the previous frame took: no scene is ever skipped,
  // and the time a frame overshot the old scene's end is dropped.
  if (demoTime() > currentScene_->endTime) {
    currentScene_ = currentScene_->next;
    ++currentIndex_;
    if (currentScene_ == nullptr) {
      currentScene_ = firstScene_;
      currentIndex_ = 0;
      actions_.stopMusic();
      actions_.playMusic();
    }
    actions_.activate(*currentScene_);
    rebase(currentScene_->startTime);
  }
  const double seconds = demoTime();
  if (paused_) {
    // The camera shake draws from rand(); the same seed for the same moment keeps a
    // paused picture still.
    std::srand(static_cast<unsigned>(std::hash<double>{}(seconds)));
  }
  actions_.render(*currentScene_, static_cast<float>(seconds));
  actions_.present();
}

void FrameLoop::pause() {
  if (paused_ || currentScene_ == nullptr) return;
  timeOffset_ = demoTime();
  paused_ = true;
  actions_.pauseMusic();
}

void FrameLoop::resume() {
  if (!paused_) return;
  paused_ = false;
  rebase(timeOffset_);
  actions_.resumeMusic();
}

scene::Scene& FrameLoop::sceneAt(std::size_t index) const {
  scene::Scene* scene = firstScene_;
  for (std::size_t i = 0; i < index && scene->next != nullptr; ++i) scene = scene->next;
  return *scene;
}

void FrameLoop::seek(std::size_t index, double sceneTime) {
  if (timeline_ == nullptr || firstScene_ == nullptr) return;
  index = std::min(index, timeline_->sceneCount() - 1);
  scene::Scene& scene = sceneAt(index);
  // A scene whose end is not after its start still shows its start.
  sceneTime = std::clamp(sceneTime, scene.startTime, std::max(scene.startTime, scene.endTime));
  currentScene_ = &scene;
  currentIndex_ = index;
  actions_.activate(scene);
  rebase(sceneTime);
  actions_.seekMusic(timeline_->startOf(index) + (sceneTime - scene.startTime));
}

void FrameLoop::seekShowTime(double seconds) {
  if (timeline_ == nullptr) return;
  const show::ShowPosition at = timeline_->locate(std::clamp(seconds, 0.0, timeline_->length()));
  seek(at.scene, at.sceneTime);
}

}  // namespace tessarine::app
