// The show's music: one MP3 file decoded and played on a thread of the player's own, and
// where in the music the listener is now, for the picture to follow.
// Control calls return at once; no call reports failure: a missing or unplayable file, or
// a machine without sound, gives a player that plays silence while its position runs on
// the wall clock. An output that is lost is looked for again, and the music comes back
// where it would be by then.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "audio/audio_sink.h"

namespace tessarine::audio {

class MusicPlayer {
 public:
  using SinkMaker = std::function<std::unique_ptr<AudioSink>()>;
  // Seconds of a steady clock.
  using Clock = std::function<double()>;

  // Opens `fileName` (relative to the working directory) on the machine's sound output.
  explicit MusicPlayer(std::string fileName);
  // The same, on the outputs that `makeSink` makes (a new one after each loss), reading
  // `clock`; the loss of an output and its return are told on `messages`.
  MusicPlayer(std::string fileName, SinkMaker makeSink, Clock clock, std::FILE* messages = stderr);
  // Stops playback and lets the output go. Waits a fraction of a second at most, whatever
  // the output does; a thread still held by it then ends by itself.
  ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  // Plays from the beginning of the file.
  void play();
  // Plays from `seconds` into the file (held at its beginning); a time beyond its end
  // plays nothing, and the position runs on from there all the same.
  void playFrom(double seconds);
  // Silences the output at once; the position is gone until the next play.
  void stop();

  // Seconds into the music that the listener hears now: what the output has played, less
  // what it still holds, where it can tell; else the time since the play began. It never
  // goes back between two plays, and stands at the time asked until the first sound is
  // heard. Nothing while stopped.
  std::optional<double> position();

 private:
  class Impl;
  std::shared_ptr<Impl> impl_;
};

// Seconds of std::chrono::steady_clock, the players' own clock.
double steadySeconds();

}  // namespace tessarine::audio
