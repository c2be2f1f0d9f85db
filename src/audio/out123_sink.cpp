// The sound device behind the player: libout123 with a fixed list of output modules and
// the sound libraries' complaints kept off the terminal, since the player never reports.
#include <alsa/asoundlib.h>
#include <out123.h>

#include <mutex>

#include "audio/audio_sink.h"

namespace tessarine::audio {
namespace {

// Tried in this order. libout123's own default choice would, on a machine without sound,
// wait seconds for a network sound server and then take an output whose drain never returns.
constexpr const char* kOutputModules = "pulse,alsa,oss";
// How the show's stream is named to a sound server.
constexpr const char* kStreamName = "Tessarine";

// libasound prints a paragraph for every device it fails to open. The handler is
// process-wide; nothing else in the program talks to ALSA.
void dropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa() {
  static std::once_flag once;
  std::call_once(once, [] { snd_lib_error_set_handler(dropAlsaMessage); });
}

class DeviceSink final : public AudioSink {
 public:
  DeviceSink() = default;
  ~DeviceSink() override { close(); }
  DeviceSink(const DeviceSink&) = delete;
  DeviceSink& operator=(const DeviceSink&) = delete;

  bool open(long rate) override {
    silenceAlsa();
    handle_ = out123_new();
    if (handle_ == nullptr) return false;
    // No buffer process is forked (out123_set_buffer is never called): a forked child
    // of a threaded program holding a sound device is one more thing to hang on quit.
    if (out123_param_int(handle_, OUT123_ADD_FLAGS, OUT123_QUIET) != OUT123_OK ||
        out123_param_string(handle_, OUT123_NAME, kStreamName) != OUT123_OK ||
        out123_open(handle_, kOutputModules, nullptr) != OUT123_OK ||
        out123_start(handle_, rate, kOutputChannels, MPG123_ENC_SIGNED_16) != OUT123_OK) {
      close();
      return false;
    }
    return true;
  }

  void write(std::span<unsigned char> bytes) override {
    if (handle_ != nullptr) out123_play(handle_, bytes.data(), bytes.size());
  }

  void drop() override {
    if (handle_ != nullptr) out123_drop(handle_);
  }

  void pause() override {
    if (handle_ != nullptr) out123_pause(handle_);
  }

  void resume() override {
    if (handle_ != nullptr) out123_continue(handle_);
  }

  void close() override {
    if (handle_ == nullptr) return;
    // Closing drains what the device holds; dropping it first makes the close prompt.
    out123_drop(handle_);
    out123_close(handle_);
    out123_del(handle_);
    handle_ = nullptr;
  }

 private:
  out123_handle* handle_ = nullptr;
};

}  // namespace

std::unique_ptr<AudioSink> makeDeviceSink() { return std::make_unique<DeviceSink>(); }

}  // namespace tessarine::audio
