#include "app/driver.h"

#include <exception>
#include <string>

#include "render/activation.h"

namespace tessarine::app {

void Driver::release() {
  if (musicPlayer) {
    musicPlayer->stop();
    musicPlayer.reset();
  }
  sequence.reset();
}

void startUp(Driver& driver, const std::function<void()>& quitDemo, const StartUpOptions& options) {
  try {
    driver.sequence = std::make_unique<DemoSequence>(options.dataDirectory, *driver.platform, options.makeTexture);
    for (const PlayListEntry& entry : options.playList) {
      driver.sequence->appendScene(std::string(entry.fileName), entry.nearPlane);
    }
    if (scene::Scene* first = driver.sequence->firstScene()) render::activate(*first);
  } catch (const std::exception& failure) {
    std::fprintf(options.errorOutput, "... And the Error is : %s !", failure.what());
    quitDemo();
  }
}

}  // namespace tessarine::app
