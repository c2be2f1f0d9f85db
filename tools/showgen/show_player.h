// Plays a generated show off screen through the player's own readers and renderer: the
// six scenes loaded as the program loads them, any frame drawn on a surfaceless context.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "headless/headless_gl.h"
#include "scene/demo_context.h"
#include "scene/scene.h"

namespace tessarine::showgen {

class ShowPlayer {
 public:
  // Makes a width x height context and reads the play list from `dataDirectory`.
  // Throws common::Error as the program's start-up would.
  ShowPlayer(const std::string& dataDirectory, int width, int height);
  ~ShowPlayer();
  ShowPlayer(const ShowPlayer&) = delete;
  ShowPlayer& operator=(const ShowPlayer&) = delete;

  std::size_t sceneCount() const { return scenes_.size(); }
  scene::Scene& scene(std::size_t index) { return *scenes_.at(index); }
  scene::DemoContext& context() { return *context_; }

  // Activates scene `index` when it is not the current one, draws it at `seconds` and
  // returns the picture, RGBA, bottom row first.
  std::vector<std::uint8_t> frame(std::size_t index, double seconds);
  int width() const { return gl_.width(); }
  int height() const { return gl_.height(); }

 private:
  headless::HeadlessGl gl_;  // first made, last gone: the textures need it
  std::unique_ptr<scene::DemoContext> context_;
  std::vector<std::unique_ptr<scene::Scene>> scenes_;
  std::size_t current_ = static_cast<std::size_t>(-1);
};

// Loads the six scenes without a GL context (textures are not made): for checks of the
// files' content alone.
struct LoadedShow {
  std::unique_ptr<scene::DemoContext> context;
  std::vector<std::unique_ptr<scene::Scene>> scenes;
};
LoadedShow loadShowWithoutTextures(const std::string& dataDirectory);

}  // namespace tessarine::showgen
