// The show's music: one MP3 file decoded and played on a thread of the player's own.
// Control calls return at once; no call reports failure: a missing or unplayable file,
// or a machine without sound, gives a player that plays silence.
#pragma once

#include <memory>
#include <string>

namespace tessarine::audio {

class MusicPlayer {
 public:
  // Opens `fileName` (relative to the working directory) and gets it ready, so that play()
  // starts at once.
  explicit MusicPlayer(std::string fileName);
  // Stops playback, joins the thread and releases the decoder and the output.
  ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  // Plays from the beginning of the file.
  void play();
  void stop();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tessarine::audio
