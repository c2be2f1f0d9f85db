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

float aspectFor(int width, int height, float previous) {
  if (width <= 0 || height <= 0) return previous;
  return static_cast<float>(static_cast<double>(width) / height);
}

}  // namespace tessarine::app
