#include "app/author_session.h"

#include <chrono>
#include <exception>
#include <utility>

#include "mesh/mesh_textures.h"

namespace tessarine::app {
namespace {

// The frame rate is counted over this window, so that it reads steadily.
constexpr double kFrameRateWindow = 1.0;

std::string format(const char* pattern, auto... values) {
  char line[256];
  std::snprintf(line, sizeof line, pattern, values...);
  return line;
}

}  // namespace

std::uint64_t polygonsOf(const scene::Scene& scene) {
  std::uint64_t polygons = 0;
  for (const scene::SceneObject& object : scene.objects) {
    if (object.mesh != nullptr) polygons += object.mesh->polygonCount();
  }
  return polygons;
}

AuthorSession::AuthorSession(std::string dataDirectory, std::span<const show::PlayListEntry> playList,
                             std::FILE* errorOutput)
    : dataDirectory_(std::move(dataDirectory)), playList_(playList), errorOutput_(errorOutput) {}

void AuthorSession::run(AuthorCommand command, std::unique_ptr<show::Show>& show, FrameLoop& loop) {
  const std::size_t index = loop.currentIndex();
  switch (command) {
    case AuthorCommand::kPauseOrResume:
      if (loop.paused()) {
        loop.resume();
      } else {
        loop.pause();
      }
      break;
    case AuthorCommand::kBack:
      loop.seekShowTime(loop.showTime() - kStepSeconds);
      break;
    case AuthorCommand::kForward:
      loop.seekShowTime(loop.showTime() + kStepSeconds);
      break;
    case AuthorCommand::kPreviousScene:
      if (index > 0) loop.seek(index - 1, show->scene(index - 1).startTime);
      else loop.seek(0, show->scene(0).startTime);
      break;
    case AuthorCommand::kNextScene:
      // After the last scene the show begins again, as it does when it plays on.
      if (index + 1 < show->sceneCount()) loop.seek(index + 1, show->scene(index + 1).startTime);
      else loop.seek(0, show->scene(0).startTime);
      break;
    case AuthorCommand::kShowStart:
      loop.seek(0, show->scene(0).startTime);
      break;
    case AuthorCommand::kReload:
      reload(show, loop);
      break;
    case AuthorCommand::kOverlay:
      overlayShown_ = !overlayShown_;
      break;
    case AuthorCommand::kNone:
      break;
  }
}

bool AuthorSession::reload(std::unique_ptr<show::Show>& show, FrameLoop& loop) {
  const auto begin = std::chrono::steady_clock::now();
  auto fresh = std::make_unique<show::Show>(dataDirectory_);
  try {
    fresh->load(playList_);
    mesh::makeTextures(fresh->context().meshes);
  } catch (const std::exception& failure) {
    // The scenes read before the failing one stay in the show, so its count names the
    // scene file that was being read (or one of its objects and images).
    const std::size_t failed = fresh->sceneCount();
    const std::string where = failed < playList_.size() ? std::string(playList_[failed].fileName) + ": " : "";
    lastReload_ = "refused: " + where + failure.what();
    std::fprintf(errorOutput_, "Reload %s\n", lastReload_.c_str());
    return false;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  fresh->context().aspect = show->context().aspect;
  loop.replace(fresh->firstScene(), fresh->timeline());
  // The old show goes only now, when nothing points into it any more.
  show = std::move(fresh);
  lastReload_ = format("loaded in %.3f s", seconds);
  return true;
}

void AuthorSession::frameDrawn(double seconds) {
  frameTimes_.push_back(seconds);
  while (frameTimes_.front() <= seconds - kFrameRateWindow) frameTimes_.pop_front();
}

std::vector<std::string> AuthorSession::overlayLines(const show::Show& show, const FrameLoop& loop) const {
  const std::size_t index = loop.currentIndex();
  const scene::Scene& scene = show.scene(index);
  return {
      format("%s  scene %zu of %zu", scene.fileName.c_str(), index + 1, show.sceneCount()),
      format("scene %.2f s  show %.2f s of %.2f", loop.demoTime(), loop.showTime(), show.timeline().length()),
      format("%zu fps  %llu polygons", framesPerSecond(), static_cast<unsigned long long>(polygonsOf(scene))),
      loop.paused() ? "paused" : "playing",
      "reload: " + lastReload_,
  };
}

}  // namespace tessarine::app
