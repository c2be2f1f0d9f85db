// The music player against a sink that records what it is sent: whole tones at the file's
// rate, restarts from the beginning, prompt stops, and silence for anything unplayable.
#include "audio/music_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "audio/dominant_frequency.h"
#include "audio/memory_sink.h"
#include "audio/tone_mp3.h"
#include "support/temp_dir.h"

namespace tessarine::audio {
namespace {

using testing::encodeTone;
using testing::SinkRecord;
using testing::Tone;
using tessarine::testing::TempDir;

// Layer III frames hold 1152 sample frames (576 at the MPEG-2 rates); the decoded length may
// miss the encoded one by this much where the encoder's padding is not fully accounted for.
constexpr std::ptrdiff_t kLengthTolerance = 2 * 1152;

struct Player {
  std::shared_ptr<SinkRecord> record = std::make_shared<SinkRecord>();
  std::unique_ptr<MusicPlayer> player;

  explicit Player(const std::string& file, std::chrono::microseconds writeTime = {}, bool refuseOpen = false) {
    record->writeTime = writeTime;
    record->refuseOpen = refuseOpen;
    player = std::make_unique<MusicPlayer>(file, std::make_unique<testing::MemorySink>(record));
  }
  bool waitForFinish() { return record->waitFor([](const SinkRecord& r) { return r.count("finish") > 0; }); }
  bool waitForSamples(std::size_t samples) {
    return record->waitFor([&](const SinkRecord& r) { return r.samplesWritten() >= samples; });
  }
};

// Half a second of one channel of interleaved stereo samples, from the middle.
std::vector<double> middleOf(const std::vector<std::int16_t>& samples, std::size_t channel, long rate) {
  std::size_t frames = samples.size() / kOutputChannels, half = static_cast<std::size_t>(rate / 4);
  std::vector<double> out;
  for (std::size_t i = frames / 2 - half; i < frames / 2 + half; ++i) out.push_back(samples[i * kOutputChannels + channel]);
  return out;
}

TEST(MusicPlayerTest, OpensOnConstructionAndPlaysTheWholeToneOnlyWhenTold) {
  struct Case {
    Tone tone;
    int expectLeftHz, expectRightHz;
  } cases[] = {
      {{44100, 2, 2.0, 440.0, 660.0}, 440, 660},
      // MPEG-2 rate and one channel: the sink still gets stereo, the same tone on both sides.
      {{22050, 1, 1.5, 440.0, 0.0}, 440, 440},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tone.rate);
    TempDir dir;
    Player p(dir.write("tone.mp3", encodeTone(c.tone)));
    {
      // Ready when construction returns, and silent until play.
      std::lock_guard lock(p.record->mutex);
      EXPECT_EQ(p.record->calls, std::vector<std::string>{"open"});
      EXPECT_EQ(p.record->rate, c.tone.rate);
    }
    p.player->play();
    ASSERT_TRUE(p.waitForFinish());
    std::lock_guard lock(p.record->mutex);
    ASSERT_EQ(p.record->takes.size(), 1u);
    const auto& samples = p.record->takes[0];
    EXPECT_NEAR(static_cast<double>(samples.size() / kOutputChannels), c.tone.rate * c.tone.seconds, kLengthTolerance);
    // Away from the encoder's ramp at either end.
    std::vector<double> left = middleOf(samples, 0, c.tone.rate);
    EXPECT_NEAR(testing::dominantHz(left, c.tone.rate), c.expectLeftHz, 2);
    EXPECT_NEAR(testing::dominantHz(middleOf(samples, 1, c.tone.rate), c.tone.rate), c.expectRightHz, 2);
    EXPECT_GT(*std::max_element(left.begin(), left.end()), 8000.0);  // the tone's amplitude is 12000, not a whisper
  }
}

TEST(MusicPlayerTest, StopSilencesAtOnceAndPlayStartsFromTheBeginning) {
  TempDir dir;
  const Tone tone{44100, 2, 3.0, 440.0, 660.0};
  const std::string file = dir.write("tone.mp3", encodeTone(tone));
  const std::size_t fullSamples = static_cast<std::size_t>(tone.rate * tone.seconds) * kOutputChannels;
  for (bool stopFirst : {true, false}) {
    SCOPED_TRACE(stopFirst ? "stop then play" : "play while playing");
    // Slow enough that the first play is still going when the second comes.
    Player p(file, std::chrono::milliseconds(5));
    p.player->play();
    ASSERT_TRUE(p.waitForSamples(fullSamples / 4));
    if (stopFirst) {
      p.player->stop();
      ASSERT_TRUE(p.record->waitFor([](const SinkRecord& r) { return r.count("drop") == 1; }));
      // Let the thread run on for a while: a stopped player must not write again.
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      std::lock_guard lock(p.record->mutex);
      EXPECT_EQ(p.record->calls, (std::vector<std::string>{"open", "write", "drop"}));
    }
    p.player->play();
    ASSERT_TRUE(p.waitForFinish());

    std::lock_guard lock(p.record->mutex);
    ASSERT_EQ(p.record->takes.size(), 2u);
    const auto& first = p.record->takes[0];
    const auto& second = p.record->takes[1];
    EXPECT_LT(first.size(), fullSamples - kLengthTolerance * kOutputChannels);
    // The second take is the whole file again, beginning with the same samples.
    EXPECT_NEAR(static_cast<double>(second.size()), static_cast<double>(fullSamples), kLengthTolerance * kOutputChannels);
    int worst = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(first.size(), 20000); ++i) {
      worst = std::max(worst, std::abs(first[i] - second[i]));
    }
    EXPECT_LE(worst, 1);
    EXPECT_EQ(p.record->count("drop"), 1u);
  }
}

TEST(MusicPlayerTest, DestructionWhilePlayingDropsThenClosesTheOutput) {
  TempDir dir;
  const Tone tone{44100, 2, 10.0, 440.0, 660.0};
  // A device that plays in real time: one piece of 1152 sample frames takes 26 ms.
  Player p(dir.write("long.mp3", encodeTone(tone)), std::chrono::microseconds(26122));
  p.player->play();
  ASSERT_TRUE(p.waitForSamples(3 * 1152 * kOutputChannels));
  p.player.reset();  // returns long before the 10 s of music would have played out
  EXPECT_EQ(p.record->calls, (std::vector<std::string>{"open", "write", "drop", "close"}));
  EXPECT_LT(p.record->samplesWritten(), static_cast<std::size_t>(tone.rate * tone.seconds) * kOutputChannels / 2);
}

// Id3v2 header: "ID3", version 4.0, no flags, then the size in four 7-bit bytes.
std::string id3v2Header(std::uint32_t size) {
  std::string header("ID3\x04\x00\x00", 6);
  for (int shift = 21; shift >= 0; shift -= 7) header.push_back(static_cast<char>((size >> shift) & 0x7f));
  return header;
}

TEST(MusicPlayerTest, HugeTagBeforeTheMusicIsSkippedUnread) {
  // A tag of 8 MiB whose one frame claims to be far larger than the tag, then filler.
  const std::uint32_t tagSize = 8u << 20;
  std::string tag = std::string("APIC\x7f\x7f\x7f\x7f\x00\x00", 10) + std::string("\x03image/jpeg\x00\x03", 13);
  tag.resize(tagSize, '\xff');
  TempDir dir;
  Player p(dir.write("tagged.mp3", id3v2Header(tagSize) + tag + encodeTone({44100, 2, 1.0, 440.0, 660.0})));
  p.player->play();
  ASSERT_TRUE(p.waitForFinish());
  std::lock_guard lock(p.record->mutex);
  ASSERT_EQ(p.record->takes.size(), 1u);
  EXPECT_NEAR(static_cast<double>(p.record->takes[0].size() / kOutputChannels), 44100, kLengthTolerance);
}

TEST(MusicPlayerTest, UnplayableFileOrNoDeviceGivesASilentPlayer) {
  TempDir dir;
  const std::string tone = encodeTone({44100, 2, 1.0, 440.0, 660.0});
  std::mt19937 random(20240607);
  std::string noise(256 * 1024, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());
  struct Case {
    std::string name, path;
    bool refuseOpen;
  } cases[] = {
      {"missing file", (dir.path() / "THREE.mp3").string(), false},
      {"empty file", dir.write("empty.mp3", ""), false},
      {"random bytes", dir.write("noise.mp3", noise), false},
      {"a directory", dir.str(), false},
      {"only the first bytes of a frame", dir.write("short.mp3", tone.substr(0, 3)), false},
      {"tag longer than the file", dir.write("tag.mp3", id3v2Header(0x0fffffff) + tone), false},
      {"no sound device", dir.write("tone.mp3", tone), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Player p(c.path, {}, c.refuseOpen);
    // Every control call is harmless, in any order.
    p.player->stop();
    p.player->play();
    p.player->play();
    p.player->stop();
    p.player->play();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    p.player.reset();
    EXPECT_EQ(p.record->calls, (c.refuseOpen ? std::vector<std::string>{"open", "close"} : std::vector<std::string>{"close"}));
  }
}

TEST(MusicPlayerTest, MovedPlayerKeepsPlayingAndTheEmptyOneIgnoresCalls) {
  TempDir dir;
  Player p(dir.write("tone.mp3", encodeTone({44100, 2, 0.5, 440.0, 660.0})));
  MusicPlayer moved = std::move(*p.player);
  p.player->play();
  p.player->stop();
  moved.play();
  ASSERT_TRUE(p.waitForFinish());
}

}  // namespace
}  // namespace tessarine::audio
