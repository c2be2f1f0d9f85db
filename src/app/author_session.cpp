// Author mode's keys carried out on the playback, the timed reload, and the overlay's lines.
#include "app/author_session.h"

#include <chrono>
#include <exception>


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

void AuthorSession::run(AuthorCommand command, Playback& playback) {
  FrameLoop& loop = playback.loop();
  show::Show& show = playback.show();
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
      if (index > 0) loop.seek(index - 1, show.scene(index - 1).startTime);
      else loop.seek(0, show.scene(0).startTime);
      break;
    case AuthorCommand::kNextScene:
      // After the last scene the show begins again, as it does when it plays on.
      if (index + 1 < show.sceneCount()) loop.seek(index + 1, show.scene(index + 1).startTime);
      else loop.seek(0, show.scene(0).startTime);
      break;
    case AuthorCommand::kShowStart:
      loop.seek(0, show.scene(0).startTime);
      break;
    case AuthorCommand::kReload:
      reload(playback);
      break;
    case AuthorCommand::kOverlay:
      overlayShown_ = !overlayShown_;
      break;
    case AuthorCommand::kNone:
      break;
  }
}

bool AuthorSession::reload(Playback& playback) {
  const auto begin = std::chrono::steady_clock::now();
  try {
    playback.reload();
  } catch (const std::exception& failure) {
    lastReload_ = std::string("refused: ") + failure.what();
    std::fprintf(errorOutput_, "Reload %s\n", lastReload_.c_str());
    return false;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  lastReload_ = format("loaded in %.3f s", seconds);
  return true;
}

void AuthorSession::frameDrawn(double seconds) {
  frameTimes_.push_back(seconds);
  while (frameTimes_.front() <= seconds - kFrameRateWindow) frameTimes_.pop_front();
}

std::vector<std::string> AuthorSession::overlayLines(const Playback& playback) const {
  const show::Show& show = playback.show();
  const FrameLoop& loop = playback.loop();
  const std::size_t index = loop.currentIndex();
  const scene::Scene& scene = show.scene(index);
  std::vector<std::string> lines = {
      format("%s  scene %zu of %zu", scene.fileName.c_str(), index + 1, show.sceneCount()),
      format("scene %.2f s  show %.2f s of %.2f", loop.demoTime(), loop.showTime(), show.timeline().length()),
      format("%zu fps  %llu polygons", framesPerSecond(), static_cast<unsigned long long>(polygonsOf(scene))),
      loop.paused() ? "paused" : "playing",
      "reload: " + lastReload_,
  };
  // OpenGL lights eight; a LightWave scene with more keeps those that light the most.
  if (scene.lightsLeftOut > 0) {
    lines.push_back(format("%zu lights lit, the %zu dimmest left dark", scene.lights.size(), scene.lightsLeftOut));
  }
  return lines;
}

}  // namespace tessarine::app
