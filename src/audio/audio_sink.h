// Where the player's decoded samples go: the sound device in the program, memory in tests.
// A sink is used from the player's own thread only, from open() to close().
#pragma once

#include <cstddef>
#include <memory>
#include <span>

namespace tessarine::audio {

// Every sink receives interleaved signed 16-bit samples in host byte order.
inline constexpr int kOutputChannels = 2;
inline constexpr std::size_t kBytesPerSample = 2;

class AudioSink {
 public:
  virtual ~AudioSink() = default;

  // Gets the device ready for `rate` sample frames per second; false when there is no
  // device, after which the player sends the sink nothing but close().
  virtual bool open(long rate) = 0;
  // Plays `bytes`, waiting while the device's own buffer is full. The player hands over
  // small pieces, so that a stop or a quit is never stuck behind a long wait. The sink may
  // change the bytes in place (a device that swaps byte order does).
  virtual void write(std::span<unsigned char> bytes) = 0;
  // Forgets what the device still holds, so that a stop is heard at once.
  virtual void drop() = 0;
  // Stops the device and resumes it; the player writes nothing in between. A device may
  // play out or drop the little it still holds (libout123 closes a live device on pause).
  virtual void pause() {}
  virtual void resume() {}
  // The music has run out: nothing more comes until the next play.
  virtual void finish() {}
  // Releases the device; the sink is not opened again.
  virtual void close() = 0;
};

// The machine's sound output through libout123; plays nothing where there is none.
std::unique_ptr<AudioSink> makeDeviceSink();

}  // namespace tessarine::audio
