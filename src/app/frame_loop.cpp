#include "app/frame_loop.h"

#include <utility>

namespace tessarine::app {

FrameLoop::FrameLoop(Clock clock, std::int64_t frequency, FrameActions actions)
    : clock_(std::move(clock)), frequency_(frequency), actions_(std::move(actions)) {}

void FrameLoop::start(scene::Scene& first) {
  firstScene_ = &first;
  currentScene_ = &first;
  rebase(first);
}

void FrameLoop::rebase(scene::Scene& scene) {
  timeOffset_ = scene.startTime;
  clockStart_ = clock_();
}

double FrameLoop::demoTime() const {
  const std::int64_t elapsed = clock_() - clockStart_;
  return static_cast<double>(elapsed) / static_cast<double>(frequency_) + timeOffset_;
}

void FrameLoop::onDisplay() {
  if (currentScene_ == nullptr) return;
  // One switch at most, however long the previous frame took: no scene is ever skipped,
  // and the time a frame overshot the old scene's end is dropped.
  if (demoTime() > currentScene_->endTime) {
    currentScene_ = currentScene_->next;
    if (currentScene_ == nullptr) {
      currentScene_ = firstScene_;
      actions_.stopMusic();
      actions_.playMusic();
    }
    actions_.activate(*currentScene_);
    rebase(*currentScene_);
  }
  actions_.render(*currentScene_, static_cast<float>(demoTime()));
  actions_.present();
}

}  // namespace tessarine::app
