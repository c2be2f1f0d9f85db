// The start-up in its fixed order (render state, priority and screen saver, the show, the
// first scene), and the release in the reverse order of what depends on what.
#include "app/driver.h"

#include <exception>
#include <string>

#include "render/activation.h"
#include "render/render_state.h"

namespace tessarine::app {

void Driver::release() {
  // The scenes go before the screen saver comes back; the meshes they shared go last.
  if (playback) playback->releaseScenes();
  guard.reset();
  playback.reset();
}

void startUp(Driver& driver, const std::function<void()>& quitDemo, const StartUpOptions& options) {
  try {
    render::setUpRenderState();
    driver.guard = std::make_unique<RunGuard>(*driver.platform);
    driver.playback = std::make_unique<Playback>(options.load);
    driver.playback->load();
    render::activate(driver.playback->show().firstScene());
  } catch (const std::exception& failure) {
    std::fprintf(options.errorOutput, "... And the Error is : %s !", failure.what());
    quitDemo();
  }
}

}  // namespace tessarine::app
