// Reads one MP3 file through libmpg123 for the player's thread.
#include "audio/mp3_decoder.h"

#include <climits>

#include "audio/audio_sink.h"

namespace tessarine::audio {
namespace {

// A read that meets more format notices than this in a row gives up on the stream.
constexpr int kMaxFormatNotices = 4;

}  // namespace

void Mp3Decoder::Deleter::operator()(mpg123_handle* handle) const { mpg123_delete(handle); }

Mp3Decoder::Mp3Decoder(const std::string& fileName) {
  int error = MPG123_OK;
  std::unique_ptr<mpg123_handle, Deleter> handle(mpg123_new(nullptr, &error));
  if (handle == nullptr) return;
  mpg123_handle* h = handle.get();
  // ID3v2 tags are skipped unread, so a crafted tag never reaches the tag parser, and a
  // stream may not switch to another MPEG format part-way (no stitched streams).
  const long flags = MPG123_QUIET | MPG123_SKIP_ID3V2 | MPG123_NO_FRANKENSTEIN;
  if (mpg123_param(h, MPG123_ADD_FLAGS, flags, 0.0) != MPG123_OK) return;

  // Any of the MPEG rates until the file has told its own, but always stereo 16-bit, which
  // libmpg123 makes from a mono file by itself.
  if (mpg123_format_none(h) != MPG123_OK) return;
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (long each : std::span(rates, rateCount)) mpg123_format(h, each, MPG123_STEREO, MPG123_ENC_SIGNED_16);

  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_open(h, fileName.c_str()) != MPG123_OK ||
      mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK || channels != kOutputChannels ||
      encoding != MPG123_ENC_SIGNED_16) {
    return;
  }
  // From here on only the file's first format is accepted: a later frame that claims
  // another rate is converted or refused, never handed to a device opened for this one.
  if (mpg123_format_none(h) != MPG123_OK ||
      mpg123_format(h, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) {
    return;
  }
  handle_ = std::move(handle);
  rate_ = rate;
}

std::size_t Mp3Decoder::read(std::span<unsigned char> buffer) {
  if (handle_ == nullptr) return 0;
  for (int notice = 0; notice < kMaxFormatNotices; ++notice) {
    std::size_t done = 0;
    int result = mpg123_read(handle_.get(), buffer.data(), buffer.size(), &done);
    if (done > 0) return done;
    // A format notice can only repeat the pinned format: libmpg123 delivers no other.
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
      return 0;  // the end of the music, or a stream that cannot go on
    }
  }
  return 0;
}

bool Mp3Decoder::seek(long long sampleFrame) {
  return handle_ != nullptr && sampleFrame >= 0 && sampleFrame <= LONG_MAX &&
         mpg123_seek(handle_.get(), static_cast<off_t>(sampleFrame), SEEK_SET) >= 0;
}

}  // namespace tessarine::audio
