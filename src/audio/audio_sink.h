// Where the player's decoded samples go: the sound server or card in the program, memory in
// tests. A sink is used from the player's own thread only, from open() to close(), and no
// call of it waits longer than it is allowed to: the player must stay free to quit.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>

namespace tessarine::audio {

// Every sink receives interleaved signed 16-bit samples in host byte order.
inline constexpr int kOutputChannels = 2;
inline constexpr std::size_t kBytesPerSample = 2;
inline constexpr std::size_t kBytesPerFrame = kOutputChannels * kBytesPerSample;

class AudioSink {
 public:
  virtual ~AudioSink() = default;

  // Gets the output ready for `rate` sample frames per second, within a fraction of a
  // second; false when there is no output now (the player may try again later with a new
  // sink).
  virtual bool open(long rate) = 0;
  // Takes whole sample frames from the front of `bytes`, as many as the output has room
  // for, waiting at most `wait` for room. Returns the bytes taken (0: no room yet), or
  // nothing once the output is lost: the sound server went away.
  virtual std::optional<std::size_t> write(std::span<const unsigned char> bytes, std::chrono::milliseconds wait) = 0;
  // Seconds from a sample frame written now to its being heard: what the output holds plus
  // its device's own latency. Nothing while the output cannot tell (yet).
  virtual std::optional<double> delay() = 0;
  // Whether delay() ever tells: an output that cannot is followed by the wall clock.
  virtual bool tellsDelay() const = 0;
  // Forgets what the output holds, so that a stop is heard at once.
  virtual void drop() = 0;
  // The music has run out: nothing more comes until the next play.
  virtual void finish() {}
  // Keeps the connection serviced while nothing is written; false once the output is lost.
  virtual bool poll() { return true; }
  // Releases the output at once, dropping what it holds; the sink is not opened again.
  virtual void close() = 0;
};

// The machine's sound output: the sound server through its own client library, which tells
// how late what is written will be heard; where no server answers, the sound card through
// libout123, which cannot tell.
std::unique_ptr<AudioSink> makeDeviceSink();

}  // namespace tessarine::audio
