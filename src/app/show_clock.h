// The time the picture follows: seconds into the music of the show's current pass. While
// music plays it is the music as the listener hears it; without music, the wall clock.
#pragma once

#include <memory>
#include <optional>

#include "audio/music_player.h"

namespace tessarine::app {

class ShowClock {
 public:
  virtual ~ShowClock() = default;
  // The time, and the music with it, run from `seconds`.
  virtual void playFrom(double seconds) = 0;
  // The music falls silent at once; the time is not asked for until the next playFrom().
  virtual void stop() = 0;
  virtual double now() = 0;
};

// The show's music as its clock.
class MusicClock final : public ShowClock {
 public:
  explicit MusicClock(std::unique_ptr<audio::MusicPlayer> player) : player_(std::move(player)) {}

  void playFrom(double seconds) override {
    player_->playFrom(seconds);
    last_ = seconds;
  }
  void stop() override { player_->stop(); }
  double now() override {
    if (const std::optional<double> heard = player_->position()) last_ = *heard;
    return last_;
  }

 private:
  std::unique_ptr<audio::MusicPlayer> player_;
  double last_ = 0;
};

}  // namespace tessarine::app
