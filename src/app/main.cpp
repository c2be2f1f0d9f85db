// The program: opens the window full screen, builds the show, starts the music and the
// clock, and hands over to the window system's main loop; every way out is quitDemo.
#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/driver.h"
#include "app/window_rules.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "render/activation.h"
#include "render/scene_renderer.h"

namespace {

using namespace tessarine;

constexpr const char* kTitle = "Tessarine";

// Touched only on the main thread, from start-up and the window system's handlers.
app::Driver driver;

[[noreturn]] void quitDemo() {
  driver.release();
  // std::exit, not a return, so that a start-up error line still buffered is written.
  std::exit(EXIT_SUCCESS);
}

void enterFullScreen() {
  glutFullScreen();
  glutSetCursor(GLUT_CURSOR_NONE);
}

void enterWindowMode() {
  glutSetCursor(GLUT_CURSOR_INHERIT);
  glutReshapeWindow(app::kWindowWidth, app::kWindowHeight);
  glutPositionWindow(app::kWindowX, app::kWindowY);
}

void onDisplay() { driver.frameLoop->onDisplay(); }

// Stands in for onDisplay while the window is hidden: it asks for no next frame, so the
// loop rests until the window is shown again.
void onHiddenDisplay() {}

void onReshape(int width, int height) {
  glViewport(0, 0, width, height);
  float& aspect = driver.show->context().aspect;
  aspect = app::aspectFor(width, height, aspect);
}

void onKeyboard(unsigned char key, int, int) {
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
  actions.stopMusic = [] { driver.musicPlayer->stop(); };
  actions.playMusic = [] { driver.musicPlayer->play(); };
  actions.present = [] {
    glutSwapBuffers();
    glutPostRedisplay();
  };
  return actions;
}

}  // namespace

int main(int argc, char** argv) {
  const app::PlayerOptions options = app::parseCommandLine(argc, argv);
  if (options.exitStatus) return *options.exitStatus;
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(app::kWindowWidth, app::kWindowHeight);
  glutInitWindowPosition(app::kWindowX, app::kWindowY);
  glutCreateWindow(kTitle);
  if (!options.window) enterFullScreen();

  driver.platform = platform::makeSystemPlatform();
  app::startUp(driver, quitDemo);

  glutDisplayFunc(onDisplay);
  glutReshapeFunc(onReshape);
  glutKeyboardFunc(onKeyboard);
  glutVisibilityFunc(onVisibility);
  glutIdleFunc(nullptr);
  // Closing the window by the window manager leaves the same way as a quit key.
  glutCloseFunc(quitDemo);

  driver.musicPlayer = std::make_unique<audio::MusicPlayer>(std::string(show::kMusicFile));
  driver.musicPlayer->play();
  driver.frameLoop = std::make_unique<app::FrameLoop>(platform::clockNow, platform::clockFrequency(), frameActions());
  driver.frameLoop->start(driver.show->firstScene());
  glutMainLoop();
  return 0;
}
