// Music started part-way and paused: where the samples after a seek come from in the
// whole decoded file, and that a paused player sends nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "audio/memory_sink.h"
#include "audio/music_player.h"
#include "audio/tone_mp3.h"
#include "support/temp_dir.h"

namespace tessarine::audio {
namespace {

// Sample frames compared, from a little after the seek. A sample frame off, the 440 Hz
// tone alone differs by hundreds per sample; the length pins the offset to one frame.
constexpr std::size_t kWindowStart = 2048, kWindow = 2048;

// Every sample played from `from` seconds on, paused before the seek and resumed.
std::vector<std::int16_t> playAll(const std::string& file, double from) {
  auto record = std::make_shared<testing::SinkRecord>();
  MusicPlayer player(file, std::make_unique<testing::MemorySink>(record));
  player.pause();
  player.playFrom(from);
  EXPECT_TRUE(record->waitFor([](const testing::SinkRecord& r) { return r.count("pause") == 1; }));
  EXPECT_EQ(record->samplesWritten(), 0u) << "a paused player writes nothing";
  player.resume();
  EXPECT_TRUE(record->waitFor([](const testing::SinkRecord& r) { return r.count("finish") == 1; }));
  std::lock_guard lock(record->mutex);
  return record->takes.empty() ? std::vector<std::int16_t>{} : record->takes.front();
}

TEST(MusicSeekTest, PlaysFromTheSampleFrameOfTheTimeAsked) {
  tessarine::testing::TempDir dir;
  const std::string file = dir.write("tone.mp3", testing::encodeTone({.rate = 44100, .seconds = 2.0}));
  const std::vector<std::int16_t> whole = playAll(file, 0);
  ASSERT_EQ(whole.size(), 2u * 88200u);
  const std::vector<std::int16_t> part = playAll(file, 0.75);
  const std::size_t expected = 33075;  // 0.75 s at 44.1 kHz
  ASSERT_EQ(part.size(), 2 * (88200 - expected));
  double difference = 0;
  for (std::size_t i = 2 * kWindowStart; i < 2 * (kWindowStart + kWindow); ++i) {
    difference += std::abs(part[i] - whole[2 * expected + i]);
  }
  EXPECT_LT(difference / (2 * kWindow), 8.0) << "mean difference per sample";
}

}  // namespace
}  // namespace tessarine::audio
