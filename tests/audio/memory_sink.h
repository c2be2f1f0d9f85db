// A sink that keeps what the player sends it, for tests to read after or while it plays.
// The record outlives the sink, since the player owns and destroys the sink.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_sink.h"

namespace tessarine::audio::testing {

struct SinkRecord {
  // Set by the test before the player starts.
  bool refuseOpen = false;
  // How long each write takes, as a device that plays in real time would.
  std::chrono::microseconds writeTime{0};

  std::mutex mutex;
  std::condition_variable changed;
  long rate = 0;
  // What the player did, in order; runs of writes are one "write".
  std::vector<std::string> calls;
  // Interleaved samples; the first write after a drop begins a new take.
  std::vector<std::vector<std::int16_t>> takes;
  bool droppedSinceWrite = false;

  // Waits until `done` holds, for a generous while; true if it did.
  template <typename Done>
  bool waitFor(Done done) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(60), [&] { return done(*this); });
  }
  std::size_t samplesWritten() const {
    std::size_t total = 0;
    for (const auto& take : takes) total += take.size();
    return total;
  }
  std::size_t count(const std::string& call) const {
    std::size_t n = 0;
    for (const auto& c : calls) n += c == call;
    return n;
  }
};

class MemorySink final : public AudioSink {
 public:
  explicit MemorySink(std::shared_ptr<SinkRecord> record) : record_(std::move(record)) {}

  bool open(long rate) override {
    note("open", [&](SinkRecord& r) { r.rate = rate; });
    return !record_->refuseOpen;
  }
  void write(std::span<unsigned char> bytes) override {
    if (record_->writeTime.count() > 0) std::this_thread::sleep_for(record_->writeTime);
    note("write", [&](SinkRecord& r) {
      if (r.takes.empty() || r.droppedSinceWrite) r.takes.emplace_back();
      r.droppedSinceWrite = false;
      std::size_t count = bytes.size() / sizeof(std::int16_t);
      auto& take = r.takes.back();
      take.resize(take.size() + count);
      std::memcpy(take.data() + take.size() - count, bytes.data(), count * sizeof(std::int16_t));
    });
  }
  void drop() override {
    note("drop", [](SinkRecord& r) { r.droppedSinceWrite = true; });
  }
  void pause() override { note("pause", [](SinkRecord&) {}); }
  void resume() override { note("resume", [](SinkRecord&) {}); }
  void finish() override { note("finish", [](SinkRecord&) {}); }
  void close() override { note("close", [](SinkRecord&) {}); }

 private:
  template <typename Change>
  void note(const std::string& call, Change change) {
    {
      std::lock_guard lock(record_->mutex);
      if (call != "write" || record_->calls.empty() || record_->calls.back() != "write") record_->calls.push_back(call);
      change(*record_);
    }
    record_->changed.notify_all();
  }

  std::shared_ptr<SinkRecord> record_;
};

}  // namespace tessarine::audio::testing
