// The show's music: one MP3 file decoded and played on a thread of the player's own.
// Control calls return at once; no call reports failure: a missing or unplayable file,
// or a machine without sound, gives a player that plays silence.
#pragma once

#include <memory>
#include <string>

#include "audio/audio_sink.h"

namespace tessarine::audio {

class MusicPlayer {
 public:
  // Opens `fileName` (relative to the working directory) and gets it ready, so that play()
  // starts at once.
  explicit MusicPlayer(std::string fileName);
  // The same, playing into `sink` instead of the machine's sound device.
  MusicPlayer(std::string fileName, std::unique_ptr<AudioSink> sink);
  // Stops playback, joins the thread and releases the decoder and the output.
  ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;
  MusicPlayer(MusicPlayer&&) noexcept;
  MusicPlayer& operator=(MusicPlayer&&) noexcept;

  // Plays from the beginning of the file.
  void play();
  // Plays from `seconds` into the file (held at its beginning); a time beyond its end
  // plays nothing. While paused, playback starts from there at resume().
  void playFrom(double seconds);
  void stop();
  // Holds the music where it is, what the device holds included, until resume().
  void pause();
  void resume();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tessarine::audio
