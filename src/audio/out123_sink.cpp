// The sound card behind the player where no sound server answers: libout123 with a fixed
// list of output modules and the sound libraries' complaints kept off the terminal.
// libout123 cannot tell how late what it is given will be heard, so the picture follows the
// wall clock on this output.
#include "audio/out123_sink.h"

#include <alsa/asoundlib.h>
#include <out123.h>

#include <mutex>

namespace tessarine::audio {
namespace {

// Tried in this order. The sound server is not among them: it has an output of its own,
// and libout123's module for it waits without limit on a server that stopped answering.
constexpr const char* kOutputModules = "alsa,oss";
constexpr const char* kStreamName = "Tessarine";

// libasound prints a paragraph for every device it fails to open. The handler is
// process-wide; nothing else in the program talks to ALSA.
void dropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa() {
  static std::once_flag once;
  std::call_once(once, [] { snd_lib_error_set_handler(dropAlsaMessage); });
}

class Out123Sink final : public AudioSink {
 public:
  Out123Sink() = default;
  ~Out123Sink() override { close(); }
  Out123Sink(const Out123Sink&) = delete;
  Out123Sink& operator=(const Out123Sink&) = delete;

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

  // A card takes what it is given in the time it takes to play the room it lacks: the
  // player's pieces are small, so this is tens of milliseconds at most.
  std::optional<std::size_t> write(std::span<const unsigned char> bytes, std::chrono::milliseconds) override {
    if (handle_ == nullptr) return std::nullopt;
    // libout123 may swap byte order in place; the player's piece is its own to change.
    auto* data = const_cast<unsigned char*>(bytes.data());
    const std::size_t taken = out123_play(handle_, data, bytes.size());
    if (taken < bytes.size() && out123_errcode(handle_) != OUT123_OK) return std::nullopt;
    return taken - taken % kBytesPerFrame;
  }

  std::optional<double> delay() override { return std::nullopt; }
  bool tellsDelay() const override { return false; }

  void drop() override {
    if (handle_ != nullptr) out123_drop(handle_);
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

std::unique_ptr<AudioSink> makeOut123Sink() { return std::make_unique<Out123Sink>(); }

}  // namespace tessarine::audio
