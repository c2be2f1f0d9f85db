// The program: reads its command line, opens the window (full screen unless asked not
// to), builds the show, starts the music and the clock, and hands over to the window
// system's main loop; every way out is quitDemo.
#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/author_session.h"
#include "app/player_options.h"
#include "app/driver.h"
#include "app/overlay.h"
#include "app/show_clock.h"
#include "app/window_rules.h"
#include "platform/clock.h"
#include "platform/directory_watch.h"
#include "platform/lost_display.h"
#include "platform/platform.h"
#include "render/activation.h"
#include "render/scene_renderer.h"

namespace {

using namespace tessarine;

constexpr const char* kTitle = "Tessarine";

// A save is often several writes; the show is read again once they have stopped this long.
constexpr double kWatchSettleSeconds = 0.3;

static_assert(static_cast<int>(app::SpecialKey::kLeft) == GLUT_KEY_LEFT &&
              static_cast<int>(app::SpecialKey::kRight) == GLUT_KEY_RIGHT &&
              static_cast<int>(app::SpecialKey::kPageUp) == GLUT_KEY_PAGE_UP &&
              static_cast<int>(app::SpecialKey::kPageDown) == GLUT_KEY_PAGE_DOWN &&
              static_cast<int>(app::SpecialKey::kHome) == GLUT_KEY_HOME);

// Everything the window system's handlers reach, held by main and found through the
// window's data pointer; touched only on the main thread.
struct Program {
  app::Driver driver;
  // Author mode only.
  std::unique_ptr<app::AuthorSession> author;
  std::unique_ptr<platform::DirectoryWatch> watch;
  // When the frame being drawn read its time, and when the last one reached the screen.
  double frameStart = 0;
  double lastShown = 0;

  app::Playback& playback() { return *driver.playback; }
};

Program& program() { return *static_cast<Program*>(glutGetWindowData()); }

double steadySeconds() {
  return static_cast<double>(platform::clockNow()) / static_cast<double>(platform::clockFrequency());
}

[[noreturn]] void endProgram(int status) {
  program().driver.release();
  // std::exit, not a return, so that a start-up error line still buffered is written.
  std::exit(status);
}

[[noreturn]] void quitDemo() { endProgram(EXIT_SUCCESS); }

// A show that cannot start has said why on its one line; its status says so to scripts.
[[noreturn]] void failedStart() { endProgram(EXIT_FAILURE); }

void enterFullScreen() {
  glutFullScreen();
  glutSetCursor(GLUT_CURSOR_NONE);
}

void enterWindowMode() {
  glutSetCursor(GLUT_CURSOR_INHERIT);
  glutReshapeWindow(app::kWindowWidth, app::kWindowHeight);
  glutPositionWindow(app::kWindowX, app::kWindowY);
}

void onDisplay() {
  Program& p = program();
  if (p.watch != nullptr && p.watch->settled(steadySeconds())) p.author->reload(p.playback());
  p.frameStart = steadySeconds();
  p.playback().loop().onDisplay();
}

// Stands in for onDisplay while the window is hidden: it asks for no next frame, so the
// loop rests until the window is shown again.
void onHiddenDisplay() {}

void onReshape(int width, int height) {
  glViewport(0, 0, width, height);
  float& aspect = program().playback().show().context().aspect;
  aspect = app::aspectFor(width, height, aspect);
}

void onKeyboard(unsigned char key, int, int) {
  Program& p = program();
  if (p.author != nullptr && app::authorKeyCommand(key) != app::AuthorCommand::kNone) {
    p.author->run(app::authorKeyCommand(key), p.playback());
    return;
  }
  switch (app::keyCommand(key)) {
    case app::KeyCommand::kQuit:
      quitDemo();
    case app::KeyCommand::kFullScreen:
      enterFullScreen();
      break;
    case app::KeyCommand::kWindowMode:
      enterWindowMode();
      break;
    case app::KeyCommand::kNone:
      break;
  }
}

void onSpecialKey(int key, int, int) {
  Program& p = program();
  p.author->run(app::authorSpecialKeyCommand(key), p.playback());
}

void onVisibility(int state) {
  if (state == GLUT_VISIBLE) {
    glutDisplayFunc(onDisplay);
    glutPostRedisplay();
  } else {
    glutDisplayFunc(onHiddenDisplay);
  }
}

app::FrameActions frameActions() {
  app::FrameActions actions;
  actions.activate = [](scene::Scene& scene) { render::activate(scene); };
  actions.render = [](scene::Scene& scene, float seconds) { render::render(scene, seconds); };
  actions.present = [] {
    Program& p = program();
    if (p.author != nullptr) {
      p.author->frameDrawn(steadySeconds());
      if (p.author->overlayShown()) app::drawOverlay(p.author->overlayLines(p.playback()));
    }
    glutSwapBuffers();
    // Waits until the frame is out, so that no frames queue up behind the music and the
    // time it took is the time the next one will take to be seen.
    glFinish();
    // A frame stands on the screen until the next one comes: it shows best the middle of
    // that stretch, so a scene's first frame comes as near its start as the frame rate allows.
    const double shown = steadySeconds();
    p.playback().loop().noteFrameShown(shown - p.frameStart + (shown - p.lastShown) / 2);
    p.lastShown = shown;
    glutPostRedisplay();
  };
  return actions;
}

}  // namespace

int main(int argc, char** argv) {
  const app::PlayerOptions options = app::parseCommandLine(argc, argv);
  if (options.exitStatus) return *options.exitStatus;
  // Not destroyed on the way out: every exit goes through endProgram, which releases it in order.
  auto owned = std::make_unique<Program>();
  Program& p = *owned;
  glutInit(&argc, argv);
  platform::endOnLostDisplay([&p] { p.driver.release(); });
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(app::kWindowWidth, app::kWindowHeight);
  glutInitWindowPosition(app::kWindowX, app::kWindowY);
  glutCreateWindow(kTitle);
  glutSetWindowData(&p);
  if (!options.window) enterFullScreen();

  p.driver.platform = platform::makeSystemPlatform();
  app::startUp(p.driver, failedStart,
               {.load = {.dataDirectory = options.show.dataDirectory, .lightWave = options.lightWave}});

  glutDisplayFunc(onDisplay);
  glutReshapeFunc(onReshape);
  glutKeyboardFunc(onKeyboard);
  glutVisibilityFunc(onVisibility);
  if (options.author.author) {
    p.author = std::make_unique<app::AuthorSession>();
    glutSpecialFunc(onSpecialKey);
    if (options.author.watch) {
      const std::string watched = options.lightWave
                                      ? std::filesystem::path(options.lightWave->path).parent_path().string()
                                      : options.show.dataDirectory;
      p.watch = std::make_unique<platform::DirectoryWatch>(watched, kWatchSettleSeconds);
      if (!p.watch->watching()) {
        std::fprintf(stderr, "tessarine: --watch: cannot watch %s; R still reloads\n", watched.c_str());
      }
    }
  }
  glutIdleFunc(nullptr);
  // Closing the window by the window manager leaves the same way as a quit key.
  glutCloseFunc(quitDemo);

  // The picture follows the music as it is heard, from the frame loop's start on.
  app::Playback& playback = p.playback();
  const std::string music = options.lightWave ? options.music.value_or("") : options.show.musicFile;
  playback.start(std::make_unique<app::MusicClock>(std::make_unique<audio::MusicPlayer>(music)), frameActions());
  if (options.author.sceneIndex) {
    const std::size_t index = *options.author.sceneIndex;
    playback.loop().seek(index, playback.show().scene(index).startTime + options.author.seconds.value_or(0));
  } else if (options.author.seconds) {
    playback.loop().seekShowTime(*options.author.seconds);
  }
  glutMainLoop();
  return 0;
}
