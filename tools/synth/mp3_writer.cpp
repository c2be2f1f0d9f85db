// MP3 encoding through libmp3lame. The stream is gathered in memory, since its first
// frame, the info frame, can only be filled in once the encoder has seen every frame.
#include "synth/mp3_writer.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/error.h"

namespace tessarine::synth {
namespace {

using common::Error;

constexpr int kVbrQuality = 2;  // about 190 kbit/s
constexpr std::size_t kChunkFrames = 8192;
// The encoder's own worst case for a chunk: 1.25 bytes a frame plus 7200.
constexpr std::size_t kChunkBytes = kChunkFrames * 5 / 4 + 7200;

struct LameCloser {
  void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using Encoder = std::unique_ptr<lame_global_flags, LameCloser>;

Encoder makeEncoder(int sampleRate) {
  Encoder encoder(lame_init());
  if (!encoder) throw Error("I can't start the MP3 encoder");
  lame_global_flags* flags = encoder.get();
  lame_set_in_samplerate(flags, sampleRate);
  lame_set_out_samplerate(flags, sampleRate);
  lame_set_num_channels(flags, 2);
  lame_set_mode(flags, JOINT_STEREO);
  lame_set_VBR(flags, vbr_default);
  lame_set_VBR_q(flags, kVbrQuality);
  // No ID3 tag for the player to skip; the info frame stays (see the header).
  lame_set_write_id3tag_automatic(flags, 0);
  lame_set_bWriteVbrTag(flags, 1);
  if (lame_init_params(flags) < 0) throw Error("The MP3 encoder refused its settings");
  return encoder;
}

void check(int result, const char* step) {
  if (result < 0) throw Error(std::string("The MP3 encoder failed while ") + step + " (code " + std::to_string(result) + ")");
}

}  // namespace

std::vector<unsigned char> encodeMp3(const StereoBuffer& audio, int sampleRate) {
  Encoder encoder = makeEncoder(sampleRate);
  std::vector<unsigned char> stream;
  std::vector<unsigned char> chunk(kChunkBytes);
  for (std::size_t first = 0; first < audio.frames(); first += kChunkFrames) {
    std::size_t frames = std::min(kChunkFrames, audio.frames() - first);
    int bytes = lame_encode_buffer_ieee_float(encoder.get(), audio.left.data() + first, audio.right.data() + first,
                                              static_cast<int>(frames), chunk.data(), static_cast<int>(chunk.size()));
    check(bytes, "encoding");
    stream.insert(stream.end(), chunk.begin(), chunk.begin() + bytes);
  }
  int bytes = lame_encode_flush(encoder.get(), chunk.data(), static_cast<int>(chunk.size()));
  check(bytes, "flushing");
  stream.insert(stream.end(), chunk.begin(), chunk.begin() + bytes);

  // The info frame replaces the placeholder of the same size at the start of the stream.
  std::size_t tagBytes = lame_get_lametag_frame(encoder.get(), chunk.data(), chunk.size());
  if (tagBytes > chunk.size() || tagBytes > stream.size()) throw Error("The MP3 encoder made an info frame that does not fit");
  std::copy(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(tagBytes), stream.begin());
  return stream;
}

namespace {

// A file being written beside its final name; removed unless it is committed.
class PartFile {
 public:
  explicit PartFile(std::string path) : path_(std::move(path)) {}
  ~PartFile() {
    if (file_ != nullptr) std::fclose(file_);
    if (!committed_) std::remove(path_.c_str());
  }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  void write(const std::vector<unsigned char>& bytes) {
    file_ = std::fopen(path_.c_str(), "wb");
    if (file_ == nullptr) throw Error("I can't open file " + path_ + " as wb");
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) throw Error("I can't write file " + path_);
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) throw Error("I can't close file");
  }
  void commitAs(const std::string& path) {
    if (std::rename(path_.c_str(), path.c_str()) != 0) throw Error("I can't rename " + path_ + " to " + path);
    committed_ = true;
  }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

}  // namespace

void writeMp3(const std::string& path, const StereoBuffer& audio) {
  std::vector<unsigned char> stream = encodeMp3(audio);
  PartFile part(path + ".part");
  part.write(stream);
  part.commitAs(path);
}

}  // namespace tessarine::synth
