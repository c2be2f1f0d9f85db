// The player's thread: it opens the file and the output, then decodes and plays in small
// pieces while the main thread only flips requests under a lock.
#include "audio/music_player.h"

#include <array>
#include <chrono>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "audio/mp3_decoder.h"

namespace tessarine::audio {
namespace {

// One MPEG-1 Layer III frame of stereo 16-bit samples (26 ms at 44.1 kHz): a stop or a
// quit waits at most for this much to fit into the device.
constexpr std::size_t kSampleFramesPerPiece = 1152;
constexpr std::size_t kPieceBytes = kSampleFramesPerPiece * kOutputChannels * kBytesPerSample;
// Construction waits this long at most for the file and the device; a device that takes
// longer leaves the show running while the music catches up.
constexpr std::chrono::seconds kLongestOpenWait{10};

}  // namespace

class MusicPlayer::Impl {
 public:
  Impl(std::string fileName, std::unique_ptr<AudioSink> sink)
      : fileName_(std::move(fileName)), sink_(std::move(sink)) {
    try {
      thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
      return;  // no thread, no music
    }
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, kLongestOpenWait, [this] { return ready_; });
  }

  ~Impl() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    // The thread is gone, so the output and the decoder are ours to release, in this
    // order: what the device still holds is dropped so that closing it cannot wait on it.
    if (sink_ != nullptr) {
      if (outputOpen_) sink_->drop();
      sink_->close();
    }
    decoder_.reset();
  }

  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  void playFrom(double seconds) {
    {
      std::lock_guard lock(mutex_);
      wantPlaying_ = true;
      startAt_ = seconds;
      ++plays_;
    }
    wake_.notify_all();
  }

  void setPaused(bool paused) {
    {
      std::lock_guard lock(mutex_);
      paused_ = paused;
    }
    wake_.notify_all();
  }

  void stop() {
    {
      std::lock_guard lock(mutex_);
      wantPlaying_ = false;
    }
    wake_.notify_all();
  }

 private:
  void run() {
    try {
      decoder_.emplace(fileName_);
      outputOpen_ = sink_ != nullptr && decoder_->isOpen() && sink_->open(decoder_->rate());
    } catch (...) {
      outputOpen_ = false;  // a sink that fails by throwing is a missing device
    }
    {
      std::lock_guard lock(mutex_);
      ready_ = true;
    }
    wake_.notify_all();
    if (outputOpen_) {
      playUntilQuit();
    } else {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quit_; });
    }
  }

  // The sample frame `seconds` into the music, held within what a seek can reach.
  long long sampleFrameAt(double seconds) const {
    const double frame = std::floor(seconds * static_cast<double>(decoder_->rate()));
    if (!(frame > 0)) return 0;
    return frame < static_cast<double>(LONG_MAX) ? static_cast<long long>(frame) : LONG_MAX;
  }

  void playUntilQuit() {
    std::uint64_t playsSeen = 0;
    bool playing = false;
    bool sinkPaused = false;
    for (;;) {
      bool restart = false;
      bool wanted = false;
      double startAt = 0;
      bool toggled = false;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] {
          return quit_ || plays_ != playsSeen || paused_ != sinkPaused || (playing && !paused_);
        });
        if (quit_) return;
        restart = plays_ != playsSeen;
        playsSeen = plays_;
        wanted = wantPlaying_;
        startAt = startAt_;
        toggled = paused_ != sinkPaused;
        sinkPaused = paused_;
      }
      if (toggled && sinkPaused) sink_->pause();
      if (toggled && !sinkPaused) sink_->resume();
      // A play while playing, or a stop and a play that came together, both begin anew;
      // so does a seek, and what the device holds from before it is dropped.
      if (restart) {
        if (playing) sink_->drop();
        playing = decoder_->seek(sampleFrameAt(startAt));
      }
      if (!wanted) {
        if (playing) sink_->drop();
        playing = false;
        continue;
      }
      if (!playing || sinkPaused) continue;
      std::size_t bytes = decoder_->read(piece_);
      if (bytes == 0) {
        sink_->finish();
        playing = false;
        continue;
      }
      sink_->write(std::span(piece_).first(bytes));
    }
  }

  const std::string fileName_;
  // Used by the thread alone while it runs; released by the destructor after the join.
  std::unique_ptr<AudioSink> sink_;
  std::optional<Mp3Decoder> decoder_;
  bool outputOpen_ = false;
  std::array<unsigned char, kPieceBytes> piece_{};

  std::mutex mutex_;
  std::condition_variable wake_;
  // The main thread's requests and the thread's readiness, guarded by mutex_.
  bool ready_ = false;
  bool quit_ = false;
  bool wantPlaying_ = false;
  bool paused_ = false;
  double startAt_ = 0;  // seconds into the music of the last play
  std::uint64_t plays_ = 0;

  std::thread thread_;
};

MusicPlayer::MusicPlayer(std::string fileName) : MusicPlayer(std::move(fileName), makeDeviceSink()) {}

MusicPlayer::MusicPlayer(std::string fileName, std::unique_ptr<AudioSink> sink)
    : impl_(std::make_unique<Impl>(std::move(fileName), std::move(sink))) {}

MusicPlayer::~MusicPlayer() = default;
MusicPlayer::MusicPlayer(MusicPlayer&&) noexcept = default;
MusicPlayer& MusicPlayer::operator=(MusicPlayer&&) noexcept = default;

void MusicPlayer::play() { playFrom(0); }

void MusicPlayer::playFrom(double seconds) {
  if (impl_ != nullptr) impl_->playFrom(seconds);
}

void MusicPlayer::pause() {
  if (impl_ != nullptr) impl_->setPaused(true);
}

void MusicPlayer::resume() {
  if (impl_ != nullptr) impl_->setPaused(false);
}

void MusicPlayer::stop() {
  if (impl_ != nullptr) impl_->stop();
}

}  // namespace tessarine::audio
