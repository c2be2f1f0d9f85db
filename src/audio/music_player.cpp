// The player's thread: it opens the file and an output, then decodes and plays in small
// pieces, measuring after each how late the output says it will be heard; the main thread
// only flips requests and reads that measure under a lock.
#include "audio/music_player.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "audio/mp3_decoder.h"

namespace tessarine::audio {
namespace {

// One MPEG-1 Layer III frame of stereo 16-bit samples (26 ms at 44.1 kHz).
constexpr std::size_t kSampleFramesPerPiece = 1152;
constexpr std::size_t kPieceBytes = kSampleFramesPerPiece * kBytesPerFrame;
// The longest the thread is away from its requests: a write waiting for room, or a rest.
constexpr std::chrono::milliseconds kWriteWait{20};
constexpr std::chrono::milliseconds kIdleWait{50};
// An output that takes nothing for this long is not playing: the time goes on by the clock,
// and the music comes in again where that has got to once the output takes it again.
constexpr double kStallSeconds = 0.5;
// How often a missing or lost output is looked for.
constexpr double kRetrySeconds = 2.0;
// Destruction waits this long for the thread; one still held by an output ends by itself.
constexpr std::chrono::milliseconds kQuitWait{300};

constexpr double kNever = std::numeric_limits<double>::infinity();

// Where the listener is in the music: `position` at `stamp` of the clock, running on with
// the clock when `runs`, but never past `limit`, the end of what the output was given.
struct Heard {
  double position = 0;
  double stamp = 0;
  double limit = kNever;
  bool runs = true;

  double at(double now) const { return runs ? std::min(position + (now - stamp), limit) : position; }
};

}  // namespace

double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

class MusicPlayer::Impl : public std::enable_shared_from_this<Impl> {
 public:
  Impl(std::string fileName, SinkMaker makeSink, Clock clock, std::FILE* messages)
      : fileName_(std::move(fileName)), makeSink_(std::move(makeSink)), clock_(std::move(clock)), messages_(messages) {}

  void start() {
    try {
      thread_ = std::thread([self = shared_from_this()] { self->run(); });
    } catch (const std::system_error&) {
      // No thread, no music: the position still runs on the clock.
    }
  }

  void quit() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    if (!thread_.joinable()) return;
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, kQuitWait, [this] { return finished_; })) {
      lock.unlock();
      thread_.join();
    } else {
      // Held inside the output's library; it holds its own share of this state.
      thread_.detach();
    }
  }

  void playFrom(double seconds) {
    {
      std::lock_guard lock(mutex_);
      wantPlaying_ = true;
      ++plays_;
      startAt_ = seconds;
      // Until the thread has begun it, the play runs on the clock, or stands where it
      // begins when the output will say when it is heard.
      heard_ = {seconds, clock_(), outputTellsDelay_ ? seconds : kNever, !outputTellsDelay_};
      lastPosition_ = seconds;
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

  std::optional<double> position() {
    std::lock_guard lock(mutex_);
    if (!wantPlaying_) return std::nullopt;
    lastPosition_ = std::max(lastPosition_, heard_.at(clock_()));
    return lastPosition_;
  }

 private:
  // What the thread is doing with the current play.
  struct Segment {
    std::uint64_t play = 0;   // the play it carries out
    double start = 0;         // seconds into the music where it began
    std::uint64_t frames = 0; // sample frames given to the output since
    bool decoding = false;    // false past the end of the music
    std::size_t pieceBytes = 0, pieceDone = 0;
    double lastProgress = 0;
    bool stalled = false;
  };

  void run() {
    try {
      decoder_.emplace(fileName_);
    } catch (...) {
      decoder_.reset();
    }
    if (decoder_ && decoder_->isOpen()) playUntilQuit();
    if (sink_ != nullptr) {
      sink_->drop();
      sink_->close();
    }
    sink_.reset();
    decoder_.reset();
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    wake_.notify_all();
  }

  void playUntilQuit() {
    Segment segment;
    double nextAttempt = 0;
    for (;;) {
      bool wanted = false;
      std::uint64_t play = 0;
      {
        std::lock_guard lock(mutex_);
        if (quit_) return;
        wanted = wantPlaying_;
        play = plays_;
      }
      if (const double now = clock_(); sink_ == nullptr && now >= nextAttempt) {
        // A new output takes up the play anew, where the listener would be by now. The next
        // look is timed from this one's start: an attempt that took long does not push it out.
        if (openOutput()) segment.play = 0;
        else nextAttempt = now + kRetrySeconds;
      }
      if (!wanted || play != segment.play) {
        if (sink_ != nullptr && segment.decoding) sink_->drop();
        segment.decoding = false;
        if (wanted) begin(segment, play, positionNow());
      }
      if (wanted && sink_ != nullptr && segment.decoding) {
        playPiece(segment);
        continue;
      }
      std::unique_lock lock(mutex_);
      wake_.wait_for(lock, kIdleWait, [&] { return quit_ || plays_ != play || wantPlaying_ != wanted; });
      lock.unlock();
      if (sink_ != nullptr && !sink_->poll()) loseOutput(segment);
    }
  }

  bool openOutput() {
    std::unique_ptr<AudioSink> sink = makeSink_ ? makeSink_() : nullptr;
    try {
      if (sink == nullptr || !sink->open(decoder_->rate())) return false;
    } catch (...) {
      return false;  // a sink that fails by throwing is a missing output
    }
    sink_ = std::move(sink);
    {
      std::lock_guard lock(mutex_);
      outputTellsDelay_ = sink_->tellsDelay();
    }
    if (outputLost_) std::fprintf(messages_, "tessarine: the sound output is back, and the music with it\n");
    outputLost_ = false;
    return true;
  }

  void loseOutput(Segment& segment) {
    {
      std::lock_guard lock(mutex_);
      outputTellsDelay_ = false;
      runOnClock();  // from where the listener was when the sound stopped
    }
    sink_->close();
    sink_.reset();
    std::fprintf(messages_, "tessarine: lost the sound output; the music comes back when it does\n");
    outputLost_ = true;
    segment.play = 0;  // begun anew on the next output
    segment.decoding = false;
  }

  // Sets the decoder to `seconds` for `play`. On an output that tells its delay the listener
  // stands there until the first sound is heard; otherwise the play runs on the clock.
  void begin(Segment& segment, std::uint64_t play, double seconds) {
    segment = Segment{.play = play, .start = seconds, .lastProgress = clock_()};
    segment.decoding = decoder_->seek(sampleFrameAt(seconds));
    if (sink_ == nullptr || !sink_->tellsDelay() || !segment.decoding) {
      heardRunsOn(play);
      return;
    }
    std::lock_guard lock(mutex_);
    if (plays_ != play) return;
    heard_ = {seconds, clock_(), seconds, false};
    lastPosition_ = std::max(lastPosition_, seconds);
  }

  void playPiece(Segment& segment) {
    if (segment.pieceDone == segment.pieceBytes) {
      segment.pieceBytes = decoder_->read(piece_);
      segment.pieceDone = 0;
      if (segment.pieceBytes == 0) {
        segment.decoding = false;  // the music has run out; its time runs on
        sink_->finish();
        heardRunsOn(segment.play);
        return;
      }
    }
    const std::span<const unsigned char> rest(piece_.data() + segment.pieceDone, segment.pieceBytes - segment.pieceDone);
    const std::optional<std::size_t> taken = sink_->write(rest, kWriteWait);
    if (!taken) {
      loseOutput(segment);
      return;
    }
    const double now = clock_();
    if (*taken > 0 && segment.stalled) {
      sink_->drop();
      begin(segment, segment.play, positionNow());
      return;
    }
    if (*taken > 0) {
      segment.pieceDone += *taken;
      segment.frames += *taken / kBytesPerFrame;
      segment.lastProgress = now;
    } else if (!segment.stalled && now - segment.lastProgress > kStallSeconds) {
      segment.stalled = true;
      std::lock_guard lock(mutex_);
      if (plays_ == segment.play) runOnClock();
      return;
    }
    if (!segment.stalled) measure(segment, now);
  }

  // What the output says of the sound it holds, as the position the listener is at.
  void measure(const Segment& segment, double now) {
    if (!sink_->tellsDelay()) return;
    const double written = segment.start + static_cast<double>(segment.frames) / static_cast<double>(decoder_->rate());
    const std::optional<double> delay = sink_->delay();
    std::lock_guard lock(mutex_);
    if (plays_ != segment.play) return;
    heard_.limit = written;
    if (delay) heard_ = {written - *delay, now, written, true};
  }

  // From here the play runs on the clock from where the listener is.
  void heardRunsOn(std::uint64_t play) {
    std::lock_guard lock(mutex_);
    if (plays_ == play && (heard_.runs == false || heard_.limit != kNever)) runOnClock();
  }

  void runOnClock() {
    const double now = clock_();
    heard_ = {std::max(lastPosition_, heard_.at(now)), now, kNever, true};
  }

  double positionNow() {
    std::lock_guard lock(mutex_);
    return std::max(lastPosition_, heard_.at(clock_()));
  }

  // The sample frame `seconds` into the music, held within what a seek can reach.
  long long sampleFrameAt(double seconds) const {
    const double frame = std::floor(seconds * static_cast<double>(decoder_->rate()));
    if (!(frame > 0)) return 0;
    return frame < static_cast<double>(LONG_MAX) ? static_cast<long long>(frame) : LONG_MAX;
  }

  const std::string fileName_;
  const SinkMaker makeSink_;
  const Clock clock_;
  std::FILE* const messages_;
  // The thread's own while it runs.
  std::unique_ptr<AudioSink> sink_;
  std::optional<Mp3Decoder> decoder_;
  std::array<unsigned char, kPieceBytes> piece_{};
  bool outputLost_ = false;

  std::mutex mutex_;
  std::condition_variable wake_;
  // Guarded by mutex_: the main thread's requests, the thread's end, and where the
  // listener is.
  bool quit_ = false;
  bool finished_ = false;
  bool wantPlaying_ = false;
  std::uint64_t plays_ = 0;
  double startAt_ = 0;
  bool outputTellsDelay_ = false;
  Heard heard_;
  double lastPosition_ = 0;

  std::thread thread_;
};

MusicPlayer::MusicPlayer(std::string fileName) : MusicPlayer(std::move(fileName), makeDeviceSink, steadySeconds) {}

MusicPlayer::MusicPlayer(std::string fileName, SinkMaker makeSink, Clock clock, std::FILE* messages)
    : impl_(std::make_shared<Impl>(std::move(fileName), std::move(makeSink), std::move(clock), messages)) {
  impl_->start();
}

MusicPlayer::~MusicPlayer() { impl_->quit(); }

void MusicPlayer::play() { playFrom(0); }

void MusicPlayer::playFrom(double seconds) {
  impl_->playFrom(seconds);
}

void MusicPlayer::stop() {
  impl_->stop();
}

std::optional<double> MusicPlayer::position() { return impl_->position(); }

}  // namespace tessarine::audio
