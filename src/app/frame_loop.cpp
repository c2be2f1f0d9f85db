// The frame loop's switching rules on one continuous show time: a switch carries over the
// time by which the last frame overshot the old scene's end, so the picture never falls
// behind the music; only the wrap starts the music again, at that overshoot.
#include "app/frame_loop.h"

#include <algorithm>
#include <utility>

namespace tessarine::app {

FrameLoop::FrameLoop(std::unique_ptr<ShowClock> clock, FrameActions actions)
    : clock_(std::move(clock)), actions_(std::move(actions)) {}

void FrameLoop::start(scene::Scene& first, const show::ShowTimeline& timeline) {
  timeline_ = &timeline;
  firstScene_ = &first;
  currentScene_ = &first;
  currentIndex_ = 0;
  paused_ = false;
  // The music starts once the first frame is out: that one frame may take long (the
  // drawing's first use), and the music would not wait for it.
  starting_ = true;
  pausedAt_ = 0;
}

void FrameLoop::replace(scene::Scene& first, const show::ShowTimeline& timeline) {
  const double at = showTime();
  timeline_ = &timeline;
  firstScene_ = &first;
  seekShowTime(at);
}

namespace {

// A frame that takes longer than this to show is a stall, not the pace of drawing.
constexpr double kMaxLead = 0.25;
// Each frame moves the lead this fraction of the way to its own, so one slow frame does not
// shake the time.
constexpr double kLeadSmoothing = 0.1;

}  // namespace

double FrameLoop::passTime() const { return paused_ || starting_ ? pausedAt_ : clock_->now() + lead_; }

void FrameLoop::noteFrameShown(double secondsSinceRead) {
  lead_ += kLeadSmoothing * (std::clamp(secondsSinceRead, 0.0, kMaxLead) - lead_);
}

double FrameLoop::sceneTimeAt(double passTime) const {
  return currentScene_->startTime + (passTime - timeline_->startOf(currentIndex_));
}

double FrameLoop::demoTime() const { return currentScene_ == nullptr ? 0 : sceneTimeAt(passTime()); }

double FrameLoop::showTime() const { return currentScene_ == nullptr ? 0 : passTime(); }

void FrameLoop::onDisplay() {
  if (currentScene_ == nullptr) return;
  // One switch at most, however long the previous frame took: no scene is ever skipped.
  const double first = passTime();
  if (sceneTimeAt(first) > currentScene_->endTime) advance(first);
  // A paused clock gives the same moment every frame, and the renderer draws a moment,
  // camera shake included, the same way each time: the picture stands still.
  actions_.render(*currentScene_, static_cast<float>(demoTime()));
  actions_.present();
  if (starting_) {
    starting_ = false;
    if (!paused_) clock_->playFrom(pausedAt_);
  }
}

void FrameLoop::advance(double passTime) {
  currentScene_ = currentScene_->next;
  ++currentIndex_;
  if (currentScene_ == nullptr || currentIndex_ >= timeline_->sceneCount()) {
    currentScene_ = firstScene_;
    currentIndex_ = 0;
    clock_->playFrom(std::max(0.0, passTime - timeline_->length()));
  }
  actions_.activate(*currentScene_);
}

void FrameLoop::pause() {
  if (paused_ || currentScene_ == nullptr) return;
  pausedAt_ = passTime();
  paused_ = true;
  clock_->stop();
}

void FrameLoop::resume() {
  if (!paused_) return;
  paused_ = false;
  clock_->playFrom(pausedAt_);
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
  const double at = timeline_->startOf(index) + (sceneTime - scene.startTime);
  if (paused_ || starting_) {
    pausedAt_ = at;
  } else {
    clock_->playFrom(at);
  }
}

void FrameLoop::seekShowTime(double seconds) {
  if (timeline_ == nullptr) return;
  const show::ShowPosition at = timeline_->locate(std::clamp(seconds, 0.0, timeline_->length()));
  seek(at.scene, at.sceneTime);
}

}  // namespace tessarine::app
