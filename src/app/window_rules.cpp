// Keys to commands and the picture's shape on a resize, kept apart from the window system
// so that they can be tested without a window.
#include "app/window_rules.h"

namespace tessarine::app {

namespace {

constexpr unsigned char kEscape = 27;

}  // namespace

KeyCommand keyCommand(unsigned char key) {
  switch (key) {
    case kEscape:
    case 'Q':
    case 'q':
    case 'X':
    case 'x':
      return KeyCommand::kQuit;
    case 'F':
    case 'f':
      return KeyCommand::kFullScreen;
    case 'W':
    case 'w':
      return KeyCommand::kWindowMode;
    default:
      return KeyCommand::kNone;
  }
}

AuthorCommand authorKeyCommand(unsigned char key) {
  switch (key) {
    case ' ':
      return AuthorCommand::kPauseOrResume;
    case 'R':
    case 'r':
      return AuthorCommand::kReload;
    case 'H':
    case 'h':
      return AuthorCommand::kOverlay;
    default:
      return AuthorCommand::kNone;
  }
}

AuthorCommand authorSpecialKeyCommand(int key) {
  switch (static_cast<SpecialKey>(key)) {
    case SpecialKey::kLeft:
      return AuthorCommand::kBack;
    case SpecialKey::kRight:
      return AuthorCommand::kForward;
    case SpecialKey::kPageUp:
      return AuthorCommand::kPreviousScene;
    case SpecialKey::kPageDown:
      return AuthorCommand::kNextScene;
    case SpecialKey::kHome:
      return AuthorCommand::kShowStart;
  }
  return AuthorCommand::kNone;
}

float aspectFor(int width, int height, float previous) {
  if (width <= 0 || height <= 0) return previous;
  return static_cast<float>(static_cast<double>(width) / height);
}

}  // namespace tessarine::app
