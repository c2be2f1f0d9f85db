// The user's controls and the window's shape, free of the window system.
#pragma once

namespace tessarine::app {

enum class KeyCommand { kNone, kQuit, kFullScreen, kWindowMode };

// Author mode's controls, on top of the keys above.
enum class AuthorCommand {
  kNone, kPauseOrResume, kBack, kForward, kPreviousScene, kNextScene, kShowStart, kReload, kOverlay
};

// The window system's codes of the special keys author mode uses.
enum class SpecialKey : int { kLeft = 100, kRight = 102, kPageUp = 104, kPageDown = 105, kHome = 106 };

// How far Left and Right move in show time.
inline constexpr double kStepSeconds = 2.0;

// The window that W gives back, the one the program opens.
inline constexpr int kWindowWidth = 400;
inline constexpr int kWindowHeight = 300;
inline constexpr int kWindowX = 16;
inline constexpr int kWindowY = 32;

// Escape, Q, X quit; F goes full screen; W back to the window. Either letter case.
KeyCommand keyCommand(unsigned char key);

// Space pauses and resumes, R reloads, H shows or hides the overlay (either case); the
// arrows step, Page Up and Down go to scene starts, Home to the show's start. A key that
// is not author mode's gives kNone, and keyCommand decides.
AuthorCommand authorKeyCommand(unsigned char key);
AuthorCommand authorSpecialKeyCommand(int key);

// Width over height; a window with no area (minimised to a line) keeps `previous`, so the
// projection never divides by zero.
float aspectFor(int width, int height, float previous);

}  // namespace tessarine::app
