// The sound server's client library driven from the player's thread alone: its own main
// loop (no thread of the library's), polled with a time limit at every step, so that no
// call waits on a server that stopped answering for longer than it is allowed to.
#include "audio/pulse_sink.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include <algorithm>
#include <chrono>

namespace tessarine::audio {
namespace {

using SteadyClock = std::chrono::steady_clock;

// How the program and its stream are named to the server.
constexpr const char* kStreamName = "Tessarine";
// Connecting and setting up the stream take at most this long; a server that is there
// answers in milliseconds.
constexpr std::chrono::milliseconds kOpenTimeout{250};
// What the server is asked to hold ahead of the device: enough for a loaded machine, little
// enough that a seek is heard soon. The delay the picture follows is measured, not assumed.
constexpr std::chrono::microseconds kTargetLatency{100'000};

class ServerSink final : public PulseSink {
 public:
  ServerSink() = default;
  ~ServerSink() override { close(); }
  ServerSink(const ServerSink&) = delete;
  ServerSink& operator=(const ServerSink&) = delete;

  bool open(long rate) override {
    const pa_sample_spec format{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(rate), kOutputChannels};
    if (!pa_sample_spec_valid(&format)) return false;
    loop_ = pa_mainloop_new();
    if (loop_ == nullptr) return false;
    context_ = pa_context_new(pa_mainloop_get_api(loop_), kStreamName);
    if (context_ == nullptr || pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
      close();
      return false;
    }
    const auto deadline = SteadyClock::now() + kOpenTimeout;
    if (!waitUntil(deadline, [this] { return contextReady(); })) {
      close();
      return false;
    }
    stream_ = pa_stream_new(context_, kStreamName, &format, nullptr);
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kTargetLatency.count(), &format));
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                                                      PA_STREAM_ADJUST_LATENCY);
    if (stream_ == nullptr ||
        pa_stream_connect_playback(stream_, nullptr, &attributes, flags, nullptr, nullptr) < 0 ||
        !waitUntil(deadline, [this] { return streamReady(); })) {
      close();
      return false;
    }
    return true;
  }

  std::optional<std::size_t> write(std::span<const unsigned char> bytes, std::chrono::milliseconds wait) override {
    const auto deadline = SteadyClock::now() + wait;
    for (;;) {
      if (iterate(std::chrono::milliseconds(0)) < 0 || !alive()) return std::nullopt;
      const std::size_t room = pa_stream_writable_size(stream_);
      if (room == static_cast<std::size_t>(-1)) return std::nullopt;
      std::size_t count = std::min(room, bytes.size());
      count -= count % kBytesPerFrame;
      if (count > 0) {
        if (pa_stream_write(stream_, bytes.data(), count, nullptr, 0, PA_SEEK_RELATIVE) < 0) return std::nullopt;
        return count;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
      if (left.count() <= 0) return 0;
      if (iterate(left) < 0) return std::nullopt;
    }
  }

  std::optional<double> delay() override {
    if (stream_ == nullptr) return std::nullopt;
    pa_usec_t latency = 0;
    int negative = 0;
    // No timing yet (just opened, or just dropped): the server's answer is on its way.
    if (pa_stream_get_latency(stream_, &latency, &negative) < 0) return std::nullopt;
    return negative != 0 ? 0.0 : static_cast<double>(latency) / 1e6;
  }

  bool tellsDelay() const override { return true; }
  bool serverSilent() const override { return serverSilent_; }

  void drop() override {
    if (stream_ == nullptr) return;
    if (pa_operation* flush = pa_stream_flush(stream_, nullptr, nullptr)) pa_operation_unref(flush);
    iterate(std::chrono::milliseconds(0));  // sends the request now
  }

  bool poll() override { return stream_ != nullptr && iterate(std::chrono::milliseconds(0)) >= 0 && alive(); }

  void close() override {
    // Disconnecting only closes the connection: it waits for nothing from the server.
    if (stream_ != nullptr) {
      pa_stream_disconnect(stream_);
      pa_stream_unref(stream_);
      stream_ = nullptr;
    }
    if (context_ != nullptr) {
      pa_context_disconnect(context_);
      pa_context_unref(context_);
      context_ = nullptr;
    }
    if (loop_ != nullptr) {
      pa_mainloop_free(loop_);
      loop_ = nullptr;
    }
  }

 private:
  // One round of the main loop, waiting at most `wait` for the server; negative on failure.
  int iterate(std::chrono::milliseconds wait) {
    if (pa_mainloop_prepare(loop_, static_cast<int>(std::chrono::microseconds(wait).count())) < 0) return -1;
    if (pa_mainloop_poll(loop_) < 0) return -1;
    return pa_mainloop_dispatch(loop_);
  }

  // False once the connection or the stream has failed; true while they are coming up.
  bool contextReady() const { return pa_context_get_state(context_) == PA_CONTEXT_READY; }
  bool streamReady() const { return pa_stream_get_state(stream_) == PA_STREAM_READY; }
  bool alive() const {
    return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) && PA_STREAM_IS_GOOD(pa_stream_get_state(stream_));
  }
  bool failed() const {
    return !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) ||
           (stream_ != nullptr && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)));
  }

  bool waitUntil(SteadyClock::time_point deadline, auto ready) {
    while (!ready()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
      if (failed() || iterate(std::max(left, std::chrono::milliseconds(0))) < 0) return false;
      if (left.count() <= 0) {
        serverSilent_ = !ready();
        return !serverSilent_;
      }
    }
    return true;
  }

  pa_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  bool serverSilent_ = false;
};

}  // namespace

std::unique_ptr<PulseSink> makePulseSink() { return std::make_unique<ServerSink>(); }

}  // namespace tessarine::audio
