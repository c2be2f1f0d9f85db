// MP3 decoding through libmpg123, as float samples, with gapless trimming on: the
// encoder's delay and padding are cut, so the length read is the length encoded.
#include "synth/mp3_reader.h"

#include <mpg123.h>

#include <memory>
#include <vector>

#include "common/error.h"

namespace tessarine::synth {
namespace {

using common::Error;

// A file longer than this is not one of ours; refuse it before it fills memory.
constexpr double kMaxSeconds = 3600.0;
constexpr std::size_t kReadBytes = 64 * 1024;

struct HandleCloser {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};
using Decoder = std::unique_ptr<mpg123_handle, HandleCloser>;

}  // namespace

DecodedMp3 readMp3(const std::string& path) {
  int status = MPG123_OK;
  Decoder decoder(mpg123_new(nullptr, &status));
  if (!decoder) throw Error("I can't start the MP3 decoder");
  mpg123_handle* handle = decoder.get();
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_FLOAT, 0.0);
  if (mpg123_open(handle, path.c_str()) != MPG123_OK) throw Error("I can't open file " + path + " as rb");

  auto failure = [&] { return Error("I can't decode " + path + ": " + mpg123_strerror(handle)); };
  DecodedMp3 decoded;
  int encoding = 0;
  if (mpg123_getformat(handle, &decoded.sampleRate, &decoded.channels, &encoding) != MPG123_OK) throw failure();
  if (encoding != MPG123_ENC_FLOAT_32 || decoded.channels < 1 || decoded.channels > 2 || decoded.sampleRate <= 0) {
    throw Error("I can't decode " + path + ": unexpected output format");
  }
  const std::size_t channels = static_cast<std::size_t>(decoded.channels);
  const std::size_t maxFrames = static_cast<std::size_t>(kMaxSeconds * static_cast<double>(decoded.sampleRate));

  std::vector<float> block(kReadBytes / sizeof(float));
  for (;;) {
    std::size_t bytes = 0;
    status = mpg123_read(handle, block.data(), block.size() * sizeof(float), &bytes);
    // The format is fixed by the first frame; a change part-way is not one stream.
    if (status == MPG123_NEW_FORMAT) throw Error("I can't decode " + path + ": the format changes part-way");
    if (status != MPG123_OK && status != MPG123_DONE) throw failure();
    std::size_t frames = bytes / (sizeof(float) * channels);
    if (frames > maxFrames - decoded.audio.frames()) throw Error("I can't decode " + path + ": longer than an hour");
    for (std::size_t frame = 0; frame < frames; ++frame) {
      decoded.audio.left.push_back(block[frame * channels]);
      decoded.audio.right.push_back(block[frame * channels + channels - 1]);
    }
    if (status == MPG123_DONE) break;
  }
  return decoded;
}

}  // namespace tessarine::synth
