// Author mode beside the frame loop: the keys' commands on its clock, reloading the
// whole show from disk, and the figures of the overlay.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/playback.h"
#include "app/window_rules.h"

namespace tessarine::app {

// Polygons of every object's mesh in `scene`, as the renderer draws them per frame.
std::uint64_t polygonsOf(const scene::Scene& scene);

class AuthorSession {
 public:
  explicit AuthorSession(std::FILE* errorOutput = stderr) : errorOutput_(errorOutput) {}

  // Carries out `command` on the playback. Pauses, steps and jumps go through its loop's
  // seeks; the overlay flag is the session's own.
  void run(AuthorCommand command, Playback& playback);

  // Reads every scene, object and image afresh (a GL context must be current); if all
  // load, the new show takes over at the same show time. A refusal, with the scene file it
  // came from, is written to the error output and changes nothing. True when the new show
  // took over.
  bool reload(Playback& playback);

  // Notes a frame drawn at `seconds` of a steady clock, for the frame rate.
  void frameDrawn(double seconds);
  // Frames drawn within the last second before the last one noted.
  std::size_t framesPerSecond() const { return frameTimes_.size(); }

  bool overlayShown() const { return overlayShown_; }
  // What the overlay shows, a line each: the scene, the times, the figures, the state.
  std::vector<std::string> overlayLines(const Playback& playback) const;

 private:
  std::FILE* errorOutput_;
  bool overlayShown_ = true;
  std::string lastReload_ = "none yet";
  std::deque<double> frameTimes_;
};

}  // namespace tessarine::app
