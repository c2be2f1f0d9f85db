#include "audio/music_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "audio/dominant_frequency.h"
#include "audio/memory_sink.h"
#include "audio/tone_mp3.h"
#include "support/temp_dir.h"

namespace tessarine::audio {
namespace {

using testing::dominantHz;
using testing::encodeTone;
using testing::MemorySink;
using testing::SinkRecord;
using tessarine::testing::TempDir;
using testing::ToneSpec;

// Layer III frames hold 1152 sample frames (576 at the MPEG-2 rates); the decoded length may
// miss the encoded one by this much where the encoder's padding is not fully accounted for.
constexpr std::ptrdiff_t kLengthTolerance = 2 * 1152;

struct Player {
  std::shared_ptr<SinkRecord> record = std::make_shared<SinkRecord>();
  std::unique_ptr<MusicPlayer> player;

  explicit Player(const std::string& file, std::chrono::microseconds writeTime = {}, bool refuseOpen = false) {
    record->writeTime = writeTime;
    record->refuseOpen = refuseOpen;
    player = std::make_unique<MusicPlayer>(file, std::make_unique<MemorySink>(record));
  }
  bool waitForFinish() {
    return record->waitFor([](const SinkRecord& r) { return r.count("finish") > 0; });
  }
  bool waitForSamples(std::size_t samples) {
    return record->waitFor([&](const SinkRecord& r) { return r.samplesWritten() >= samples; });
  }
};

// One channel of interleaved stereo samples.
std::vector<double> channel(const std::vector<std::int16_t>& samples, std::size_t which) {
  std::vector<double> out;
  for (std::size_t i = which; i < samples.size(); i += kOutputChannels) out.push_back(samples[i]);
  return out;
}

TEST(MusicPlayerTest, OpensOnConstructionAndPlaysTheWholeToneOnlyWhenTold) {
  struct Case {
    ToneSpec tone;
    int expectLeftHz, expectRightHz;
  } cases[] = {
      {{44100, 2, 2.0, 440.0, 660.0}, 440, 660},
      // MPEG-2 rate and one channel: the sink still gets stereo, the same tone on both sides.
      {{22050, 1, 1.5, 440.0, 0.0}, 440, 440},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.tone.rate) + " Hz, " + std::to_string(c.tone.channels) + " channel(s)");
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
    const auto expectedFrames = static_cast<std::ptrdiff_t>(c.tone.rate * c.tone.seconds);
    EXPECT_NEAR(static_cast<double>(samples.size() / kOutputChannels), expectedFrames, kLengthTolerance);
    // Half a second from the middle, away from the encoder's ramp at either end.
    auto left = channel(samples, 0);
    auto right = channel(samples, 1);
    std::size_t middle = left.size() / 2, half = static_cast<std::size_t>(c.tone.rate / 4);
    std::vector<double> leftPart(left.begin() + middle - half, left.begin() + middle + half);
    std::vector<double> rightPart(right.begin() + middle - half, right.begin() + middle + half);
    EXPECT_NEAR(dominantHz(leftPart, c.tone.rate), c.expectLeftHz, 2);
    EXPECT_NEAR(dominantHz(rightPart, c.tone.rate), c.expectRightHz, 2);
    double peak = *std::max_element(leftPart.begin(), leftPart.end());
    EXPECT_GT(peak, 8000.0);  // the tone's amplitude is 12000, not a whisper
  }
}

TEST(MusicPlayerTest, PlayAfterStopOrDuringPlayStartsFromTheBeginning) {
  TempDir dir;
  const ToneSpec tone{44100, 2, 3.0, 440.0, 660.0};
  const std::string file = dir.write("tone.mp3", encodeTone(tone));
  const std::size_t fullSamples = static_cast<std::size_t>(tone.rate * tone.seconds) * kOutputChannels;
  for (bool stopFirst : {true, false}) {
    SCOPED_TRACE(stopFirst ? "stop then play" : "play while playing");
    // Slow enough that the first play is still going when the second comes.
    Player p(file, std::chrono::milliseconds(5));
    p.player->play();
    ASSERT_TRUE(p.waitForSamples(fullSamples / 4));
    if (stopFirst) p.player->stop();
    p.player->play();
    ASSERT_TRUE(p.waitForFinish());

    std::lock_guard lock(p.record->mutex);
    ASSERT_EQ(p.record->takes.size(), 2u);
    const auto& first = p.record->takes[0];
    const auto& second = p.record->takes[1];
    EXPECT_LT(first.size(), fullSamples - kLengthTolerance * kOutputChannels);
    // The second take is the whole file again, beginning with the same samples.
    EXPECT_NEAR(static_cast<double>(second.size()), static_cast<double>(fullSamples),
                kLengthTolerance * kOutputChannels);
    const std::size_t compared = std::min<std::size_t>(first.size(), 20000);
    int worst = 0;
    for (std::size_t i = 0; i < compared; ++i) worst = std::max(worst, std::abs(first[i] - second[i]));
    EXPECT_LE(worst, 1);
    EXPECT_EQ(p.record->count("drop"), 1u);
  }
}

TEST(MusicPlayerTest, StopSilencesAtOnceAndForgetsTheDevicesBuffer) {
  TempDir dir;
  Player p(dir.write("tone.mp3", encodeTone({44100, 2, 3.0, 440.0, 660.0})), std::chrono::milliseconds(5));
  p.player->play();
  ASSERT_TRUE(p.waitForSamples(10000));
  p.player->stop();
  ASSERT_TRUE(p.record->waitFor([](const SinkRecord& r) { return r.count("drop") == 1; }));
  // Let the thread run on for a while: a stopped player must not write again.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::lock_guard lock(p.record->mutex);
  EXPECT_EQ(p.record->calls, (std::vector<std::string>{"open", "write", "drop"}));
}

TEST(MusicPlayerTest, DestructionWhilePlayingDropsThenClosesTheOutput) {
  TempDir dir;
  const ToneSpec tone{44100, 2, 10.0, 440.0, 660.0};
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

// A tag of `size` bytes whose one frame claims to be far larger than the tag, then filler.
std::string craftedTag(std::uint32_t size) {
  std::string body = "APIC";
  body += std::string("\x7f\x7f\x7f\x7f\x00\x00", 6);
  body += std::string("\x03image/jpeg\x00\x03", 13);
  body.resize(size, '\xff');
  return id3v2Header(size) + body;
}

TEST(MusicPlayerTest, HugeTagBeforeTheMusicIsSkippedUnread) {
  TempDir dir;
  const ToneSpec tone{44100, 2, 1.0, 440.0, 660.0};
  const std::uint32_t tagSize = 8u << 20;
  Player p(dir.write("tagged.mp3", craftedTag(tagSize) + encodeTone(tone)));
  p.player->play();
  ASSERT_TRUE(p.waitForFinish());
  std::lock_guard lock(p.record->mutex);
  ASSERT_EQ(p.record->takes.size(), 1u);
  EXPECT_NEAR(static_cast<double>(p.record->takes[0].size() / kOutputChannels), tone.rate * tone.seconds,
              kLengthTolerance);
}

TEST(MusicPlayerTest, UnplayableFileOrNoDeviceGivesASilentPlayer) {
  TempDir dir;
  const std::string tone = encodeTone({44100, 2, 1.0, 440.0, 660.0});
  std::mt19937 random(20240607);
  std::string noise(256 * 1024, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());

  struct Case {
    std::string name;
    std::string path;
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
    std::vector<std::string> expected{"close"};
    if (c.refuseOpen) expected.insert(expected.begin(), "open");
    EXPECT_EQ(p.record->calls, expected);
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
