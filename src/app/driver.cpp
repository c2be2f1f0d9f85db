#include "app/driver.h"

#include <exception>
#include <string>

#include "mesh/mesh_textures.h"
#include "render/activation.h"
#include "render/render_state.h"

namespace tessarine::app {

void Driver::release() {
  frameLoop.reset();
  // The scenes go before the screen saver comes back; the meshes they shared go last.
  if (show) show->releaseScenes();
  guard.reset();
  show.reset();
}

void startUp(Driver& driver, const std::function<void()>& quitDemo, const StartUpOptions& options) {
  try {
    render::setUpRenderState();
    driver.guard = std::make_unique<RunGuard>(*driver.platform);
    driver.show = std::make_unique<show::Show>(options.dataDirectory);
    driver.show->load(options.playList);
    mesh::makeTextures(driver.show->context().meshes);
    render::activate(driver.show->firstScene());
  } catch (const std::exception& failure) {
    std::fprintf(options.errorOutput, "... And the Error is : %s !", failure.what());
    quitDemo();
  }
}

}  // namespace tessarine::app
