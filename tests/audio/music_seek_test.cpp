// Music started part-way and paused: where the samples after a seek come from in the
// whole decoded file, and that a paused player sends nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>

#include "audio/memory_sink.h"
#include "audio/music_player.h"
#include "audio/tone_mp3.h"
#include "support/temp_dir.h"

namespace tessarine::audio {
namespace {

// Sample frames compared, from a little after the seek, and how far either way the
// match is looked for: under one period of the tone's two channels together (220 Hz).
constexpr std::ptrdiff_t kWindowStart = 2048, kWindow = 2048, kSearch = 99;

std::vector<std::int16_t> playAll(const std::string& file, double from, bool pausedFirst) {
  auto record = std::make_shared<testing::SinkRecord>();
  MusicPlayer player(file, std::make_unique<testing::MemorySink>(record));
  if (pausedFirst) player.pause();
  player.playFrom(from);
  if (pausedFirst) {
    EXPECT_TRUE(record->waitFor([](const testing::SinkRecord& r) { return r.count("pause") == 1; }));
    EXPECT_EQ(record->samplesWritten(), 0u) << "a paused player writes nothing";
    player.resume();
  }
  EXPECT_TRUE(record->waitFor([](const testing::SinkRecord& r) { return r.count("finish") == 1; }));
  std::lock_guard lock(record->mutex);
  return record->takes.empty() ? std::vector<std::int16_t>{} : record->takes.front();
}

TEST(MusicSeekTest, PlaysFromTheSampleFrameOfTheTimeAsked) {
  tessarine::testing::TempDir dir;
  const std::string file = dir.write("tone.mp3", testing::encodeTone({.rate = 44100, .seconds = 2.0}));
  const std::vector<std::int16_t> whole = playAll(file, 0, false);
  ASSERT_EQ(whole.size(), 2u * 88200u);
  for (const bool pausedFirst : {false, true}) {
    SCOPED_TRACE(pausedFirst ? "paused before the seek" : "playing");
    const std::vector<std::int16_t> part = playAll(file, 0.75, pausedFirst);
    const std::ptrdiff_t expected = 33075;  // 0.75 s at 44.1 kHz
    ASSERT_EQ(static_cast<std::ptrdiff_t>(part.size()), 2 * (88200 - expected));
    // The offset at which the part matches the whole best.
    std::ptrdiff_t best = 0;
    double bestDifference = std::numeric_limits<double>::max();
    for (std::ptrdiff_t shift = -kSearch; shift <= kSearch; ++shift) {
      double difference = 0;
      for (std::ptrdiff_t i = 2 * kWindowStart; i < 2 * (kWindowStart + kWindow); ++i) {
        difference += std::abs(part[i] - whole[2 * (expected + shift) + i]);
      }
      if (difference < bestDifference) bestDifference = difference, best = shift;
    }
    EXPECT_EQ(expected + best, expected) << "the music starts " << best << " sample frames off";
    EXPECT_LT(bestDifference / (2 * kWindow), 8.0) << "mean difference per sample";
  }
  EXPECT_TRUE(playAll(file, 5.0, false).empty()) << "beyond the end: nothing";
}

}  // namespace
}  // namespace tessarine::audio
