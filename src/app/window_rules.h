// The user's controls and the window's shape, free of the window system.
#pragma once

namespace tessarine::app {

enum class KeyCommand { kNone, kQuit, kFullScreen, kWindowMode };

// The window that W gives back, the one the program opens.
inline constexpr int kWindowWidth = 400;
inline constexpr int kWindowHeight = 300;
inline constexpr int kWindowX = 16;
inline constexpr int kWindowY = 32;

// Escape, Q, X quit; F goes full screen; W back to the window. Either letter case.
KeyCommand keyCommand(unsigned char key);

// Width over height; a window with no area (minimised to a line) keeps `previous`, so the
// projection never divides by zero.
float aspectFor(int width, int height, float previous);

}  // namespace tessarine::app
