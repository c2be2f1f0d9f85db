// Off-screen playing of the generated show.
#include "showgen/show_player.h"

#include "render/activation.h"
#include "render/render_state.h"
#include "render/scene_renderer.h"
#include "showgen/storyboard.h"
#include "timeline/timeline.h"

namespace tessarine::showgen {
namespace {

void loadScenes(scene::DemoContext& context, std::vector<std::unique_ptr<scene::Scene>>& scenes) {
  for (std::size_t i = 0; i < timeline::kScenes.size(); ++i) {
    scenes.push_back(
        std::make_unique<scene::Scene>(context, std::string(timeline::kScenes[i].file), nearPlaneOf(i)));
  }
}

}  // namespace

ShowPlayer::ShowPlayer(const std::string& dataDirectory, int width, int height) : gl_(width, height) {
  render::setUpRenderState();
  context_ = std::make_unique<scene::DemoContext>(dataDirectory);
  context_->aspect = static_cast<float>(width) / static_cast<float>(height);
  loadScenes(*context_, scenes_);
}

ShowPlayer::~ShowPlayer() {
  // Scenes refer to the context's meshes; the meshes' textures need the context current.
  scenes_.clear();
  context_.reset();
}

std::vector<std::uint8_t> ShowPlayer::frame(std::size_t index, double seconds) {
  scene::Scene& s = scene(index);
  if (index != current_) {
    render::activate(s);
    current_ = index;
  }
  render::render(s, static_cast<float>(seconds));
  gl_.finish();
  return gl_.readPixels();
}

LoadedShow loadShowWithoutTextures(const std::string& dataDirectory) {
  LoadedShow show;
  show.context = std::make_unique<scene::DemoContext>(
      dataDirectory, [](const mesh::Image&, float) { return mesh::Texture(); });
  loadScenes(*show.context, show.scenes);
  return show;
}

}  // namespace tessarine::showgen
