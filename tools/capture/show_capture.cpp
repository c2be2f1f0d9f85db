#include "capture/show_capture.h"

#include <cmath>
#include <cstdlib>

#include "render/activation.h"
#include "render/render_state.h"
#include "render/scene_renderer.h"

namespace tessarine::capture {

namespace {

// Seeds count microseconds of show time, so that a time written as 0.1 and one summed
// as 3 / 30 meet in the same seed.
constexpr double kSeedTicksPerSecond = 1e6;
constexpr double kSeedRange = 4294967296.0;  // the seeds wrap round within an unsigned int

}  // namespace

unsigned shakeSeedFor(double showTime) {
  if (!std::isfinite(showTime)) return 0;
  double ticks = std::fmod(std::round(showTime * kSeedTicksPerSecond), kSeedRange);
  if (ticks < 0) ticks += kSeedRange;
  return static_cast<unsigned>(ticks);
}

ShowCapture::ShowCapture(const std::string& dataDirectory, int width, int height)
    : gl_(width, height), show_(dataDirectory) {
  // The player's first step, before anything is loaded.
  render::setUpRenderState();
  show_.context().aspect = static_cast<float>(static_cast<double>(width) / height);
  show_.load();
  render::activate(show_.firstScene());
}

void ShowCapture::drawScene(std::size_t index, double seconds) {
  if (index != current_) {
    render::activate(show_.scene(index));
    current_ = index;
  }
  render::render(show_.scene(index), static_cast<float>(seconds));
  gl_.finish();
}

void ShowCapture::draw(double showTime) {
  const show::ShowPosition position = timeline().locate(showTime);
  std::srand(shakeSeedFor(showTime));
  drawScene(position.scene, position.sceneTime);
}

std::vector<std::uint8_t> ShowCapture::frameAt(double showTime) {
  draw(showTime);
  return readPixels();
}

}  // namespace tessarine::capture
