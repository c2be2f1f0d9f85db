// A sink that keeps what the player sends it, for tests to read after or while it plays.
// The record outlives the sink, since the player owns and destroys the sink.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_sink.h"

namespace tessarine::audio::testing {

// What opening the device does.
enum class Device { Opens, Refuses, Throws };

struct SinkRecord {
  Device device = Device::Opens;           // set by the test before the player starts
  std::chrono::microseconds writeTime{0};  // how long each write takes, as a real device's would

  std::mutex mutex;
  std::condition_variable changed;
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
};

class MemorySink final : public AudioSink {
 public:
  explicit MemorySink(std::shared_ptr<SinkRecord> record) : record_(std::move(record)) {}

  bool open(long rate) override {
    note("open", [&] { record_->rate = rate; });
    if (record_->device == Device::Throws) throw std::runtime_error("no sound device");
    return record_->device == Device::Opens;
  }
  void write(std::span<unsigned char> bytes) override {
    std::this_thread::sleep_for(record_->writeTime);
    note("write", [&] {
      auto& take = record_->takes.back();
      const std::size_t count = bytes.size() / sizeof(std::int16_t);
      take.resize(take.size() + count);
      std::memcpy(take.data() + take.size() - count, bytes.data(), count * sizeof(std::int16_t));
    });
  }
  void drop() override {
    note("drop", [&] { record_->takes.emplace_back(); });
  }
  void pause() override { note("pause", [] {}); }
  void resume() override { note("resume", [] {}); }
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
