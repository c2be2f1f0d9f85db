// One MP3 file decoded with libmpg123 into the sinks' sample format, the format pinned when
// the file is opened so that nothing later in the stream can change it.
#pragma once

#include <mpg123.h>

#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace tessarine::audio {

class Mp3Decoder {
 public:
  // Opens `fileName`; a missing or unplayable file leaves a decoder that is not open.
  explicit Mp3Decoder(const std::string& fileName);

  bool isOpen() const { return handle_ != nullptr; }
  // Sample frames per second of the file, 0 when not open.
  long rate() const { return rate_; }

  // Decodes the next samples into `buffer` and returns how many bytes it filled; 0 at the
  // end of the music, after a fault in the stream, or when not open.
  std::size_t read(std::span<unsigned char> buffer);
  // Goes to `sampleFrame` from the beginning of the music (0: the beginning), counted
  // without the encoder's delay; false when that is not possible.
  bool seek(long long sampleFrame);

 private:
  struct Deleter {
    void operator()(mpg123_handle* handle) const;
  };
  std::unique_ptr<mpg123_handle, Deleter> handle_;
  long rate_ = 0;
};

}  // namespace tessarine::audio
