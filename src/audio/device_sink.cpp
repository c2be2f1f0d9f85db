// The machine's output: the sound server where there is one, else the sound card.
#include "audio/out123_sink.h"
#include "audio/pulse_sink.h"

namespace tessarine::audio {
namespace {

class DeviceSink final : public AudioSink {
 public:
  bool open(long rate) override {
    std::unique_ptr<PulseSink> server = makePulseSink();
    if (server->open(rate)) {
      output_ = std::move(server);
      return true;
    }
    // A server that is there but does not answer would hold the card too (ALSA's default
    // device leads to it on most desktops), and hold the player inside the card's library.
    if (server->serverSilent()) return false;
    output_ = makeOut123Sink();
    if (output_->open(rate)) return true;
    output_.reset();
    return false;
  }
  std::optional<std::size_t> write(std::span<const unsigned char> bytes, std::chrono::milliseconds wait) override {
    return output_->write(bytes, wait);
  }
  std::optional<double> delay() override { return output_->delay(); }
  bool tellsDelay() const override { return output_->tellsDelay(); }
  void drop() override { output_->drop(); }
  bool poll() override { return output_->poll(); }
  void close() override {
    if (output_ != nullptr) output_->close();
  }

 private:
  std::unique_ptr<AudioSink> output_;
};

}  // namespace

std::unique_ptr<AudioSink> makeDeviceSink() { return std::make_unique<DeviceSink>(); }

}  // namespace tessarine::audio
