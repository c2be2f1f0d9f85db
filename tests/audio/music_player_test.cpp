// The music player against a sink that records what it is sent: whole tones at the file's
// rate, restarts from the beginning, prompt stops, and silence for anything unplayable.
#include "audio/music_player.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>

#include "audio/memory_sink.h"
#include "support/temp_dir.h"
#include "synth/mp3_writer.h"
#include "synth/signal.h"

namespace tessarine::audio {
namespace {

using testing::SinkRecord;
using tessarine::testing::TempDir;

// Layer III frames hold 1152 sample frames (576 at the MPEG-2 rates); the decoded length may
// miss the encoded one by this much where the encoder's padding is not fully accounted for.
constexpr std::ptrdiff_t kLengthTolerance = 2 * 1152;

// An MP3 stream of a sine of amplitude 0.5 in each channel.
std::string tone(double seconds, int rate = 44100, double leftHz = 440.0, double rightHz = 660.0) {
  synth::StereoBuffer audio = synth::testing::sine(leftHz, seconds, 0.5, 0.0, rate);
  audio.right = synth::testing::sine(rightHz, seconds, 0.5, 0.5, rate).right;
  std::vector<unsigned char> bytes = synth::encodeMp3(audio, rate);
  return {bytes.begin(), bytes.end()};
}

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

// One channel of interleaved samples, at full scale 1.
std::vector<float> channelOf(const std::vector<std::int16_t>& samples, std::size_t channel) {
  std::vector<float> out;
  for (std::size_t i = channel; i < samples.size(); i += kOutputChannels) out.push_back(samples[i] / 32768.0f);
  return out;
}

// The amplitude of `hertz` over half a second from the middle, away from the encoder's ramps.
double middleAmplitude(const std::vector<float>& channel, double hertz, long rate) {
  return synth::testing::amplitudeAt(channel, hertz, channel.size() / 2 - rate / 4, rate / 2, rate);
}

TEST(MusicPlayerTest, OpensOnConstructionAndPlaysTheWholeToneOnlyWhenTold) {
  for (int rate : {44100, 22050}) {  // an MPEG-1 and an MPEG-2 rate
    SCOPED_TRACE(rate);
    TempDir dir;
    Player p(dir.write("tone.mp3", tone(1.5, rate)));
    {
      // Ready when construction returns, and silent until play.
      std::lock_guard lock(p.record->mutex);
      EXPECT_EQ(p.record->calls, std::vector<std::string>{"open"});
      EXPECT_EQ(p.record->rate, rate);
    }
    p.player->play();
    ASSERT_TRUE(p.waitForFinish());
    std::lock_guard lock(p.record->mutex);
    ASSERT_EQ(p.record->takes.size(), 1u);
    const auto& samples = p.record->takes[0];
    EXPECT_NEAR(static_cast<double>(samples.size() / kOutputChannels), rate * 1.5, kLengthTolerance);
    std::vector<float> left = channelOf(samples, 0), right = channelOf(samples, 1);
    EXPECT_NEAR(middleAmplitude(left, 440.0, rate), 0.5, 0.03);
    EXPECT_NEAR(middleAmplitude(right, 660.0, rate), 0.5, 0.03);
    EXPECT_LT(middleAmplitude(left, 660.0, rate), 0.02);
  }
}

TEST(MusicPlayerTest, AStreamThatChangesItsRatePartWayStopsThere) {
  // One second at 44.1 kHz, then a second at 22.05 kHz: the device stays at the first rate
  // and is never sent the second part, which would play at the wrong speed.
  TempDir dir;
  Player p(dir.write("joined.mp3", tone(1.0) + tone(1.0, 22050, 880.0, 880.0)));
  p.player->play();
  ASSERT_TRUE(p.waitForFinish());
  std::lock_guard lock(p.record->mutex);
  EXPECT_EQ(p.record->rate, 44100);
  ASSERT_EQ(p.record->takes.size(), 1u);
  std::vector<float> left = channelOf(p.record->takes[0], 0);
  EXPECT_NEAR(static_cast<double>(left.size()), 44100, kLengthTolerance);
  EXPECT_LT(synth::testing::amplitudeAt(left, 880.0, 0, left.size(), 44100), 0.01);
}

TEST(MusicPlayerTest, StopSilencesAtOnceAndPlayStartsFromTheBeginning) {
  TempDir dir;
  const std::string file = dir.write("tone.mp3", tone(3.0));
  const std::size_t fullSamples = 3 * 44100 * kOutputChannels;
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
  // A device that plays in real time: one piece of 1152 sample frames takes 26 ms.
  Player p(dir.write("long.mp3", tone(10.0)), std::chrono::microseconds(26122));
  p.player->play();
  ASSERT_TRUE(p.waitForSamples(3 * 1152 * kOutputChannels));
  p.player.reset();  // returns long before the 10 s of music would have played out
  EXPECT_EQ(p.record->calls, (std::vector<std::string>{"open", "write", "drop", "close"}));
  EXPECT_LT(p.record->samplesWritten(), 5u * 44100 * kOutputChannels);
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
  Player p(dir.write("tagged.mp3", id3v2Header(tagSize) + tag + tone(1.0)));
  p.player->play();
  ASSERT_TRUE(p.waitForFinish());
  std::lock_guard lock(p.record->mutex);
  ASSERT_EQ(p.record->takes.size(), 1u);
  EXPECT_NEAR(static_cast<double>(p.record->takes[0].size() / kOutputChannels), 44100, kLengthTolerance);
}

TEST(MusicPlayerTest, UnplayableFileOrNoDeviceGivesASilentPlayer) {
  TempDir dir;
  const std::string good = tone(1.0);
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
      {"only the first bytes of a frame", dir.write("short.mp3", good.substr(0, 3)), false},
      {"tag longer than the file", dir.write("tag.mp3", id3v2Header(0x0fffffff) + good), false},
      {"no sound device", dir.write("tone.mp3", good), true},
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
  // A moved-from player ignores calls; the one it moved to plays.
  Player p(dir.write("moved.mp3", tone(0.5)));
  MusicPlayer moved = std::move(*p.player);
  p.player->play();
  p.player->stop();
  moved.play();
  ASSERT_TRUE(p.waitForFinish());
}

// The real device: on a machine without sound every output module fails, and neither
// libout123, libmpg123 nor libasound may say so on the terminal.
TEST(DeviceSinkTest, NoSoundServerNoCardAndBadFilesPrintNothing) {
  TempDir dir;
  // No sound server is found here, even on a desktop that has one running; play() is never
  // called, so a machine whose sound card answers stays quiet as well.
  ::setenv("PULSE_SERVER", ("unix:" + (dir.path() / "no-server").string()).c_str(), 1);
  const std::string files[] = {dir.write("tone.mp3", tone(0.5)), dir.write("noise.mp3", std::string(4096, '\x5a')),
                               (dir.path() / "missing.mp3").string()};
  // Both capture the file descriptors, so what the C libraries print is caught too.
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  for (const std::string& file : files) MusicPlayer player(file);
  EXPECT_EQ(::testing::internal::GetCapturedStdout() + ::testing::internal::GetCapturedStderr(), "");
  ::unsetenv("PULSE_SERVER");
}

// Every sample played from `from` seconds on, paused before the seek and resumed: a
// paused player writes nothing.
std::vector<std::int16_t> playFrom(const std::string& file, double from) {
  auto record = std::make_shared<SinkRecord>();
  MusicPlayer player(file, std::make_unique<testing::MemorySink>(record));
  player.pause();
  player.playFrom(from);
  EXPECT_TRUE(record->waitFor([](const SinkRecord& r) { return r.count("pause") == 1; }));
  EXPECT_EQ(record->samplesWritten(), 0u) << "a paused player writes nothing";
  player.resume();
  EXPECT_TRUE(record->waitFor([](const SinkRecord& r) { return r.count("finish") == 1; }));
  std::lock_guard lock(record->mutex);
  return record->takes.empty() ? std::vector<std::int16_t>{} : record->takes.front();
}

// A sample frame off, the tones alone differ by hundreds per sample; the length pins the
// offset to one frame.
TEST(MusicSeekTest, PlaysFromTheSampleFrameOfTheTimeAsked) {
  TempDir dir;
  const std::string file = dir.write("tone.mp3", tone(2.0));
  const std::vector<std::int16_t> whole = playFrom(file, 0);
  const std::vector<std::int16_t> part = playFrom(file, 0.75);
  const std::size_t skipped = 33075;  // 0.75 s at 44.1 kHz
  ASSERT_EQ(part.size() + 2 * skipped, whole.size());
  double difference = 0;
  for (std::size_t i = 4096; i < 8192; ++i) difference += std::abs(part[i] - whole[2 * skipped + i]);
  EXPECT_LT(difference / 4096, 8.0) << "mean difference per sample";
}

}  // namespace
}  // namespace tessarine::audio
