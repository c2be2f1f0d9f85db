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

#include "app/frame_loop.h"
#include "app/window_rules.h"
#include "show/play_list.h"
#include "show/show.h"

namespace tessarine::app {

// Polygons of every object's mesh in `scene`, as the renderer draws them per frame.
std::uint64_t polygonsOf(const scene::Scene& scene);

class AuthorSession {
 public:
  explicit AuthorSession(std::string dataDirectory, std::span<const show::PlayListEntry> playList = show::kPlayList,
                         std::FILE* errorOutput = stderr);

  // Carries out `command` on `loop`, which plays `show`. Pauses, steps and jumps go
  // through the loop's seeks; the overlay flag is the session's own.
  void run(AuthorCommand command, std::unique_ptr<show::Show>& show, FrameLoop& loop);

  // Reads every scene, object and image afresh and makes the textures (a GL context must
  // be current). If all load, the new show replaces `show` and `loop` goes on in it at the
  // same show time (paused if it was); if any fails, `show` and `loop` are left as they
  // were and the refusal, with the scene file it came from, is written to the error
  // output. True when the new show took over.
  bool reload(std::unique_ptr<show::Show>& show, FrameLoop& loop);

  // Notes a frame drawn at `seconds` of a steady clock, for the frame rate.
  void frameDrawn(double seconds);
  // Frames drawn within the last second before the last one noted.
  std::size_t framesPerSecond() const { return frameTimes_.size(); }

  bool overlayShown() const { return overlayShown_; }
  // What the overlay shows, a line each: the scene, the times, the figures, the state.
  std::vector<std::string> overlayLines(const show::Show& show, const FrameLoop& loop) const;

 private:
  std::string dataDirectory_;
  std::span<const show::PlayListEntry> playList_;
  std::FILE* errorOutput_;
  bool overlayShown_ = true;
  std::string lastReload_ = "none yet";
  std::deque<double> frameTimes_;
};

}  // namespace tessarine::app
