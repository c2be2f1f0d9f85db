#include "capture/show_capture.h"

#include <cmath>
#include <cstdlib>

#include "app/driver.h"
#include "common/error.h"
#include "render/activation.h"
#include "render/scene_renderer.h"

namespace tessarine::capture {

namespace {

// Seeds count microseconds of show time, so that a time written as 0.1 and one summed
// as 3 / 30 meet in the same seed.
constexpr double kSeedTicksPerSecond = 1e6;
constexpr double kSeedRange = 4294967296.0;  // the seeds wrap round within an unsigned int

app::DemoSequence& withPlayList(app::DemoSequence& sequence) {
  for (const app::PlayListEntry& entry : app::kPlayList) {
    sequence.appendScene(std::string(entry.fileName), entry.nearPlane);
  }
  return sequence;
}

}  // namespace

unsigned shakeSeedFor(double showTime) {
  if (!std::isfinite(showTime)) return 0;
  double ticks = std::fmod(std::round(showTime * kSeedTicksPerSecond), kSeedRange);
  if (ticks < 0) ticks += kSeedRange;
  return static_cast<unsigned>(ticks);
}

ShowCapture::ShowCapture(const std::string& dataDirectory, int width, int height)
    : gl_(width, height),
      sequence_(dataDirectory, platform_),
      timeline_(ShowTimeline::of(*withPlayList(sequence_).firstScene())) {
  sequence_.context().aspect = static_cast<float>(static_cast<double>(width) / height);
  for (scene::Scene* s = sequence_.firstScene(); s != nullptr; s = s->next) scenes_.push_back(s);
  render::activate(*scenes_.front());
}

void ShowCapture::draw(double showTime) {
  const ShowPosition position = timeline_.locate(showTime);
  if (position.scene != current_) {
    render::activate(*scenes_[position.scene]);
    current_ = position.scene;
  }
  std::srand(shakeSeedFor(showTime));
  render::render(*scenes_[position.scene], static_cast<float>(position.sceneTime));
  gl_.finish();
}

std::vector<std::uint8_t> ShowCapture::frameAt(double showTime) {
  draw(showTime);
  return readPixels();
}

}  // namespace tessarine::capture
