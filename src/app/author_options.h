// The command line of author mode: --author (-a), where the show starts (--scene,
// --at) and --watch, checked against the play list before anything is loaded.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "show/play_list.h"

namespace CLI {
class App;
}

namespace tessarine::app {

struct AuthorOptions {
  bool author = false;
  bool watch = false;
  // As given, even empty; nothing when not given.
  std::optional<std::string> scene;
  std::optional<std::string> at;
  // Filled by checkAuthorOptions: the play list index that --scene names, and the
  // seconds of --at (within that scene when it is given, else show time).
  std::optional<std::size_t> sceneIndex;
  std::optional<double> seconds;
};

// Adds the options to `cli`; parsing writes the raw values into `options`.
void addAuthorOptions(CLI::App& cli, AuthorOptions& options);

// Checks what was given and fills the index and seconds. Returns the refusal, naming
// the option, the value and what was expected; empty when all is well. --scene takes a
// scene file's name, with or without ".lws", or its number from 1 in the play list.
std::string checkAuthorOptions(AuthorOptions& options, std::span<const show::PlayListEntry> playList = show::kPlayList);

}  // namespace tessarine::app
