// Draws moments of the show off screen with the player's own activation and renderer.
#include "capture/show_capture.h"

#include "mesh/mesh_textures.h"
#include "render/activation.h"
#include "render/render_state.h"
#include "render/scene_renderer.h"

namespace tessarine::capture {

ShowCapture::ShowCapture(const std::string& dataDirectory, int width, int height,
                         const std::optional<show::LightWaveContent>& lightWave)
    : gl_(width, height), show_(dataDirectory) {
  // The player's first step, before anything is loaded.
  render::setUpRenderState();
  show_.context().aspect = static_cast<float>(static_cast<double>(width) / height);
  if (lightWave) {
    show_.loadLightWave(*lightWave);
  } else {
    show_.load();
  }
  mesh::makeTextures(show_.context().meshes);
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
  drawScene(position.scene, position.sceneTime);
}

std::vector<std::uint8_t> ShowCapture::frameAt(double showTime) {
  draw(showTime);
  return readPixels();
}

}  // namespace tessarine::capture
