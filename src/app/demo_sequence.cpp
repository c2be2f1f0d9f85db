#include "app/demo_sequence.h"

#include <utility>

#include "common/error.h"
#include "render/render_state.h"

namespace tessarine::app {

DemoSequence::DemoSequence(std::string dataDirectory, platform::Platform& platform, mesh::TextureMaker makeTexture)
    : platform_(platform), context_(std::move(dataDirectory), std::move(makeTexture)) {
  render::setUpRenderState();
  if (!platform_.requestHighPriority()) throw common::Error("I can't get High Priority");
  screenSaverWasActive_ = platform_.screenSaverActive();
  if (screenSaverWasActive_) platform_.suspendScreenSaver(true);
}

DemoSequence::~DemoSequence() {
  while (!scenes_.empty()) scenes_.pop_back();
  if (screenSaverWasActive_) platform_.suspendScreenSaver(false);
  // The context, with the meshes that the scenes shared, goes last, as a member.
}

void DemoSequence::appendScene(std::string fileName, float nearPlane) {
  auto scene = std::make_unique<scene::Scene>(context_, std::move(fileName), nearPlane);
  scenes_.reserve(scenes_.size() + 1);
  if (!scenes_.empty()) scenes_.back()->next = scene.get();
  scenes_.push_back(std::move(scene));
}

}  // namespace tessarine::app
