// The playback: reading the show, starting its loop, replacing it on reload, and the order
// in which its parts are let go.
#include "app/playback.h"

#include <exception>
#include <string>
#include <utility>

#include "common/error.h"
#include "mesh/mesh_textures.h"

namespace tessarine::app {

Playback::~Playback() { loop_.reset(); }

void Playback::read(std::unique_ptr<show::Show>& show) const {
  show = std::make_unique<show::Show>(settings_.dataDirectory);
  if (settings_.lightWave) {
    show->loadLightWave(*settings_.lightWave);
  } else {
    show->load(settings_.playList);
  }
  mesh::makeTextures(show->context().meshes);
}

void Playback::load() { read(show_); }

void Playback::start(std::unique_ptr<ShowClock> clock, FrameActions actions) {
  loop_ = std::make_unique<FrameLoop>(std::move(clock), std::move(actions));
  loop_->start(show_->firstScene(), show_->timeline());
}

void Playback::reload() {
  std::unique_ptr<show::Show> fresh;
  try {
    read(fresh);
  } catch (const std::exception& failure) {
    // The scenes read before the failing one stay in the new show, so its count names the
    // scene file that was being read (or one of its objects and images).
    const std::size_t failed = fresh != nullptr ? fresh->sceneCount() : 0;
    const auto& list = settings_.playList;
    std::string where = failed < list.size() ? std::string(list[failed].fileName) + ": " : "";
    if (settings_.lightWave) where = settings_.lightWave->path + ": ";
    throw common::Error(where + failure.what());
  }
  fresh->context().aspect = show_->context().aspect;
  if (loop_ != nullptr) loop_->replace(fresh->firstScene(), fresh->timeline());
  // The old show goes only now, when nothing points into it any more.
  show_ = std::move(fresh);
}

void Playback::releaseScenes() {
  loop_.reset();
  if (show_ != nullptr) show_->releaseScenes();
}

}  // namespace tessarine::app
