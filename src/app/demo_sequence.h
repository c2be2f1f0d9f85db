// The whole show: the context every loader is given (with the mesh library), the play
// list of scenes in order, and the screen saver switched off for the run.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mesh/texture.h"
#include "platform/platform.h"
#include "scene/demo_context.h"
#include "scene/scene.h"

namespace tessarine::app {

class DemoSequence {
 public:
  // Makes the context and sets the fixed render state (needs a current GL context),
  // asks `platform` for the high priority and, if the screen saver is active, suspends
  // it. Throws common::Error("I can't get High Priority") on a refusal, before the screen
  // saver is touched. `platform` must outlive the sequence.
  DemoSequence(std::string dataDirectory, platform::Platform& platform,
               mesh::TextureMaker makeTexture = mesh::makeGlTexture);
  // Releases the scenes, last first; then lets the screen saver start again if it was
  // active; then the mesh library with its textures (the GL context must be current).
  ~DemoSequence();
  // Scenes point at the context, so the sequence stays where it was made.
  DemoSequence(const DemoSequence&) = delete;
  DemoSequence& operator=(const DemoSequence&) = delete;

  // Reads `fileName` from the data directory and links it at the end of the play list.
  // A scene that fails to read throws and leaves the list as it was (the meshes it had
  // loaded stay in the library).
  void appendScene(std::string fileName, float nearPlane);

  bool screenSaverWasActive() const { return screenSaverWasActive_; }
  scene::DemoContext& context() { return context_; }
  scene::Scene* firstScene() const { return scenes_.empty() ? nullptr : scenes_.front().get(); }
  scene::Scene* lastScene() const { return scenes_.empty() ? nullptr : scenes_.back().get(); }
  std::size_t sceneCount() const { return scenes_.size(); }

 private:
  platform::Platform& platform_;
  bool screenSaverWasActive_ = false;
  scene::DemoContext context_;
  std::vector<std::unique_ptr<scene::Scene>> scenes_;  // play order, also linked by `next`
};

}  // namespace tessarine::app
