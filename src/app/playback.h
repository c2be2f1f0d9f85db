// What plays: the show read from its load settings, and the frame loop that plays it with
// its clock (the music). The one owner of both, and the one way to put a new show in place
// of the old while the loop goes on.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "app/frame_loop.h"
#include "show/play_list.h"
#include "show/show.h"

namespace tessarine::app {

// Where a show is read from, given once and kept by the playback for every reload.
struct LoadSettings {
  std::string dataDirectory{show::kDataDirectory};
  std::span<const show::PlayListEntry> playList = show::kPlayList;
  // Set: this LightWave file is played instead of the play list.
  std::optional<show::LightWaveContent> lightWave;
};

class Playback {
 public:
  explicit Playback(LoadSettings settings) : settings_(std::move(settings)) {}
  // The loop goes first, and the music with it; then the show.
  ~Playback();
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  // Reads every scene, object and image, then makes the textures (a GL context must be
  // current). Throws common::Error at the first file that cannot be read; the scenes read
  // before it stay in show(), so that they are released in the usual order.
  void load();
  // Starts playing the loaded show from its first scene, timed by `clock`.
  void start(std::unique_ptr<ShowClock> clock, FrameActions actions);
  // Reads the show afresh. If it all loads, it takes the old one's place and the loop goes
  // on in it at the same show time (paused if it was), in a window of the same shape.
  // Otherwise throws common::Error, "<scene file>: <reason>", and nothing has changed.
  void reload();
  // Stops the loop and the music, and releases the scenes, keeping the meshes they shared:
  // the player lets the screen saver start again between the two.
  void releaseScenes();

  bool loaded() const { return show_ != nullptr; }
  show::Show& show() { return *show_; }
  const show::Show& show() const { return *show_; }
  FrameLoop& loop() { return *loop_; }
  const FrameLoop& loop() const { return *loop_; }
  const LoadSettings& settings() const { return settings_; }

 private:
  // Reads a show from the settings into `show` (made here), textures and all.
  void read(std::unique_ptr<show::Show>& show) const;

  LoadSettings settings_;
  std::unique_ptr<show::Show> show_;
  std::unique_ptr<FrameLoop> loop_;  // after the show, so it goes first
};

}  // namespace tessarine::app
