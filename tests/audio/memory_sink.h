// A sink that keeps what the player sends it, for tests to read after or while it plays,
// with an output's room, delay and loss set by the test. The record outlives the sinks,
// since the player owns and destroys them, and makes a new one after a loss.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_sink.h"

namespace tessarine::audio::testing {

// What opening the device does.
enum class Device { Opens, Refuses, Throws };

struct SinkRecord {
  // Set by the test; those after `mutex` only while holding it, once the player runs.
  std::chrono::microseconds writeTime{0};  // how long each write takes, as a real device's would
  std::mutex mutex;
  std::condition_variable changed;
  Device device = Device::Opens;
  bool tellsDelay = false;
  double delay = 0;                                           // seconds the output holds
  std::size_t room = std::numeric_limits<std::size_t>::max();  // bytes it takes before it is full
  bool lost = false;                                          // the server went away

  long rate = 0;
  std::vector<std::string> calls;                   // what the player did, a run of writes as one "write"
  std::vector<std::vector<std::int16_t>> takes{1};  // interleaved samples; a drop begins a new take

  // Waits until `done` holds, for a generous while; true if it did.
  bool waitFor(auto done) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(60), [&] { return done(*this); });
  }
  std::size_t samplesWritten() const {
    std::size_t total = 0;
    for (const auto& take : takes) total += take.size();
    return total;
  }
  std::size_t count(const std::string& call) const { return std::ranges::count(calls, call); }
  void set(auto change) {
    std::lock_guard lock(mutex);
    change(*this);
  }
};

class MemorySink final : public AudioSink {
 public:
  explicit MemorySink(std::shared_ptr<SinkRecord> record) : record_(std::move(record)) {}

  bool open(long rate) override {
    Device device{};
    note("open", [&] { record_->rate = rate, device = record_->device; });
    if (device == Device::Throws) throw std::runtime_error("no sound device");
    return device == Device::Opens;
  }
  std::optional<std::size_t> write(std::span<const unsigned char> bytes, std::chrono::milliseconds wait) override {
    std::this_thread::sleep_for(record_->writeTime);
    std::optional<std::size_t> taken;
    note("write", [&] {
      if (record_->lost) return;
      taken = std::min(bytes.size(), record_->room) / kBytesPerFrame * kBytesPerFrame;
      if (record_->room != std::numeric_limits<std::size_t>::max()) record_->room -= *taken;
      auto& take = record_->takes.back();
      const std::size_t count = *taken / sizeof(std::int16_t);
      take.resize(take.size() + count);
      std::memcpy(take.data() + take.size() - count, bytes.data(), count * sizeof(std::int16_t));
    });
    if (taken == 0u) std::this_thread::sleep_for(wait);
    return taken;
  }
  std::optional<double> delay() override {
    std::lock_guard lock(record_->mutex);
    return record_->tellsDelay ? std::optional(record_->delay) : std::nullopt;
  }
  bool tellsDelay() const override {
    std::lock_guard lock(record_->mutex);
    return record_->tellsDelay;
  }
  void drop() override {
    note("drop", [&] { record_->takes.emplace_back(); });
  }
  bool poll() override {
    std::lock_guard lock(record_->mutex);
    return !record_->lost;
  }
  void finish() override { note("finish", [] {}); }
  void close() override { note("close", [] {}); }

 private:
  void note(const std::string& call, auto change) {
    {
      std::lock_guard lock(record_->mutex);
      if (call != "write" || record_->calls.empty() || record_->calls.back() != "write") record_->calls.push_back(call);
      change();
    }
    record_->changed.notify_all();
  }

  std::shared_ptr<SinkRecord> record_;
};

}  // namespace tessarine::audio::testing
