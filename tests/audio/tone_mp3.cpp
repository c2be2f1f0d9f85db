// Sine tones through libmp3lame into memory, the gapless tag written into the first frame.
#include "audio/tone_mp3.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace tessarine::audio::testing {
namespace {

constexpr double kAmplitude = 12000.0;
constexpr int kBitRate = 128;
// lame.h's own bound for its output buffer: 1.25 times the samples plus 7200 bytes.
std::size_t mp3BufferBytes(std::size_t samples) { return samples + samples / 4 + 7200; }

struct LameCloser {
  void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

std::vector<short> sine(int rate, std::size_t count, double hz) {
  std::vector<short> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    samples[i] = static_cast<short>(std::lround(kAmplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate)));
  }
  return samples;
}

}  // namespace

std::string encodeTone(const Tone& tone) {
  std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
  if (lame == nullptr) throw std::runtime_error("lame_init failed");
  lame_set_in_samplerate(lame.get(), tone.rate);
  lame_set_out_samplerate(lame.get(), tone.rate);
  lame_set_num_channels(lame.get(), tone.channels);
  lame_set_mode(lame.get(), tone.channels == 1 ? MONO : STEREO);
  lame_set_brate(lame.get(), kBitRate);
  lame_set_bWriteVbrTag(lame.get(), 1);
  lame_set_write_id3tag_automatic(lame.get(), 0);
  if (lame_init_params(lame.get()) < 0) throw std::runtime_error("lame_init_params failed");

  const auto count = static_cast<std::size_t>(std::lround(tone.rate * tone.seconds));
  std::vector<short> left = sine(tone.rate, count, tone.leftHz);
  std::vector<short> right = tone.channels == 1 ? left : sine(tone.rate, count, tone.rightHz);
  std::vector<unsigned char> out(mp3BufferBytes(count));
  int written = lame_encode_buffer(lame.get(), left.data(), right.data(), static_cast<int>(count), out.data(),
                                   static_cast<int>(out.size()));
  if (written < 0) throw std::runtime_error("lame_encode_buffer failed");
  int flushed = lame_encode_flush(lame.get(), out.data() + written, static_cast<int>(out.size()) - written);
  if (flushed < 0) throw std::runtime_error("lame_encode_flush failed");
  out.resize(static_cast<std::size_t>(written + flushed));

  // LAME left an empty frame at the start for the tag that it can only fill in now.
  std::vector<unsigned char> tag(out.size());
  std::size_t tagBytes = lame_get_lametag_frame(lame.get(), tag.data(), tag.size());
  if (tagBytes == 0 || tagBytes > out.size()) throw std::runtime_error("no LAME tag frame");
  std::copy_n(tag.begin(), tagBytes, out.begin());
  return std::string(out.begin(), out.end());
}

}  // namespace tessarine::audio::testing
