// The music player against a sink that records what it is sent: whole tones at the file's
// rate, restarts from the beginning or the time asked, prompt stops, and silence for
// anything unplayable.
#include "audio/music_player.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "audio/memory_sink.h"
#include "support/temp_dir.h"
#include "synth/mp3_writer.h"
#include "synth/signal.h"

namespace tessarine::audio {
namespace {

using testing::Device;
using testing::SinkRecord;
using tessarine::testing::TempDir;

// Layer III frames hold 1152 sample frames (576 at the MPEG-2 rates); the decoded length may
// miss the encoded one by this much where the encoder's padding is not fully accounted for.
constexpr double kLengthTolerance = 2 * 1152;

// An MP3 stream of a sine of amplitude 0.5 in each channel.
std::string tone(double seconds, int rate = 44100, double leftHz = 440.0, double rightHz = 660.0) {
  synth::StereoBuffer audio = synth::testing::sine(leftHz, seconds, 0.5, 0.0, rate);
  audio.right = synth::testing::sine(rightHz, seconds, 0.5, 0.5, rate).right;
  std::vector<unsigned char> bytes = synth::encodeMp3(audio, rate);
  return {bytes.begin(), bytes.end()};
}

// Id3v2 header: "ID3", version 4.0, no flags, then the size in four 7-bit bytes.
std::string id3v2Header(std::uint32_t size) {
  std::string header("ID3\x04\x00\x00", 6);
  for (int shift = 21; shift >= 0; shift -= 7) header.push_back(static_cast<char>((size >> shift) & 0x7f));
  return header;
}

struct Player {
  std::shared_ptr<SinkRecord> record = std::make_shared<SinkRecord>();
  std::unique_ptr<MusicPlayer> player;

  explicit Player(const std::string& file, std::chrono::microseconds writeTime = {}, Device device = Device::Opens) {
    record->writeTime = writeTime;
    record->device = device;
    player = std::make_unique<MusicPlayer>(file, std::make_unique<testing::MemorySink>(record));
  }
  bool waitFor(const char* call, std::size_t times = 1) {
    return record->waitFor([&](const SinkRecord& r) { return r.count(call) >= times; });
  }
  // Sample frames of take `t`.
  double frames(std::size_t t) const { return static_cast<double>(record->takes[t].size() / kOutputChannels); }
  // The amplitude of `hertz` in one channel of the first take, over half a second from the
  // middle, away from the encoder's ramps.
  double middleAmplitude(std::size_t channel, double hertz) const {
    std::vector<float> samples;
    for (std::size_t i = channel; i < record->takes[0].size(); i += kOutputChannels) samples.push_back(record->takes[0][i] / 32768.0f);
    return synth::testing::amplitudeAt(samples, hertz, samples.size() / 2 - record->rate / 4, record->rate / 2, record->rate);
  }
};

TEST(MusicPlayerTest, OpensOnConstructionAndPlaysTheWholeToneOnlyWhenTold) {
  // An MPEG-1 and an MPEG-2 rate; the second file opens with a tag of 8 MiB whose one frame
  // claims to be far larger than the tag, which must be skipped unread.
  std::string tag = std::string("APIC\x7f\x7f\x7f\x7f\x00\x00\x03image/jpeg\x00\x03", 23);
  tag.resize(8u << 20, '\xff');
  for (auto [rate, before] : {std::pair{44100, std::string()}, {22050, id3v2Header(8u << 20) + tag}}) {
    SCOPED_TRACE(rate);
    TempDir dir;
    Player p(dir.write("tone.mp3", before + tone(1.5, rate)));
    {
      std::lock_guard lock(p.record->mutex);  // ready when construction returns, silent until play
      EXPECT_EQ(p.record->calls, std::vector<std::string>{"open"});
      EXPECT_EQ(p.record->rate, rate);
    }
    p.player->play();
    ASSERT_TRUE(p.waitFor("finish"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a player at the end stays quiet
    std::lock_guard lock(p.record->mutex);
    EXPECT_EQ(p.record->calls, (std::vector<std::string>{"open", "write", "finish"}));
    ASSERT_EQ(p.record->takes.size(), 1u);
    EXPECT_NEAR(p.frames(0), rate * 1.5, kLengthTolerance);
    EXPECT_NEAR(p.middleAmplitude(0, 440.0), 0.5, 0.03);
    EXPECT_NEAR(p.middleAmplitude(1, 660.0), 0.5, 0.03);
  }
}

TEST(MusicPlayerTest, AStreamThatChangesItsRatePartWayStopsThere) {
  // One second at 44.1 kHz, then a second at 22.05 kHz: the device stays at the first rate
  // and is never sent the second part, which would play at the wrong speed.
  TempDir dir;
  Player p(dir.write("joined.mp3", tone(1.0) + tone(1.0, 22050, 880.0, 880.0)));
  p.player->play();
  ASSERT_TRUE(p.waitFor("finish"));
  std::lock_guard lock(p.record->mutex);
  EXPECT_EQ(p.record->rate, 44100);
  ASSERT_EQ(p.record->takes.size(), 1u);
  EXPECT_NEAR(p.frames(0), 44100, kLengthTolerance);
  EXPECT_LT(p.middleAmplitude(0, 880.0), 0.01);
}

TEST(MusicPlayerTest, StopSilencesAtOnceAndPlayStartsFromTheBeginning) {
  TempDir dir;
  const std::string file = dir.write("tone.mp3", tone(3.0));
  for (bool stopFirst : {true, false}) {
    SCOPED_TRACE(stopFirst ? "stop then play" : "play while playing");
    // Slow enough that the first play is still going when the second comes: three seconds
    // take 1.3 s to write, and the second comes after a quarter of one.
    Player p(file, std::chrono::milliseconds(10));
    p.player->play();
    ASSERT_TRUE(p.record->waitFor([](const SinkRecord& r) { return r.samplesWritten() >= 44100 / 4 * kOutputChannels; }));
    if (stopFirst) {
      p.player->stop();
      ASSERT_TRUE(p.waitFor("drop"));
      // Let the thread run on for a while: a stopped player must not write again.
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      std::lock_guard lock(p.record->mutex);
      EXPECT_EQ(p.record->calls, (std::vector<std::string>{"open", "write", "drop"}));
    }
    p.player->play();
    ASSERT_TRUE(p.waitFor("finish"));
    std::lock_guard lock(p.record->mutex);
    ASSERT_EQ(p.record->takes.size(), 2u);
    EXPECT_EQ(p.record->count("drop"), 1u);
    // The second take is the whole file again, beginning with the same samples.
    EXPECT_LT(p.frames(0), 3 * 44100 - kLengthTolerance);
    EXPECT_NEAR(p.frames(1), 3 * 44100, kLengthTolerance);
    const auto &first = p.record->takes[0], &second = p.record->takes[1];
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 20000, second.begin(), [](int a, int b) { return std::abs(a - b) <= 1; }));
  }
}

TEST(MusicPlayerTest, DestructionWhilePlayingDropsThenClosesTheOutput) {
  TempDir dir;
  // A device that plays in real time: one piece of 1152 sample frames takes 26 ms.
  Player p(dir.write("long.mp3", tone(10.0)), std::chrono::microseconds(26122));
  p.player->play();
  ASSERT_TRUE(p.record->waitFor([](const SinkRecord& r) { return r.samplesWritten() >= 3 * 1152 * kOutputChannels; }));
  p.player.reset();  // returns long before the 10 s of music would have played out
  EXPECT_EQ(p.record->calls, (std::vector<std::string>{"open", "write", "drop", "close"}));
  EXPECT_LT(p.record->samplesWritten(), 5u * 44100 * kOutputChannels);
}

TEST(MusicPlayerTest, UnplayableFileOrNoDeviceGivesASilentPlayer) {
  TempDir dir;
  const std::string good = tone(1.0);
  std::string noise(256 * 1024, '\0');  // scrambled bytes
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 2654435761u >> 13);
  const std::tuple<const char*, std::string, Device> cases[] = {
      {"missing file", (dir.path() / "THREE.mp3").string(), Device::Opens},
      {"scrambled bytes", dir.write("noise.mp3", noise), Device::Opens},
      {"a directory", dir.str(), Device::Opens},
      {"only the first bytes of a frame", dir.write("short.mp3", good.substr(0, 3)), Device::Opens},
      {"tag longer than the file", dir.write("tag.mp3", id3v2Header(0x0fffffff) + good), Device::Opens},
      {"no sound device", dir.write("tone.mp3", good), Device::Refuses},
      {"a device that throws", dir.write("tone.mp3", good), Device::Throws},
  };
  for (const auto& [what, path, device] : cases) {
    SCOPED_TRACE(what);
    Player p(path, {}, device);
    // Every control call is harmless, in any order.
    for (bool play : {false, true, true, false, true}) play ? p.player->play() : p.player->stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    p.player.reset();
    const std::vector<std::string> opened{"open", "close"}, unopened{"close"};
    EXPECT_EQ(p.record->calls, device == Device::Opens ? unopened : opened);
  }
  // A moved-from player ignores calls; the one it moved to plays.
  Player p(dir.write("moved.mp3", tone(0.5)));
  MusicPlayer moved = std::move(*p.player);
  p.player->play();
  p.player->stop();
  moved.play();
  ASSERT_TRUE(p.waitFor("finish"));
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

// A sample frame off, the tones alone differ by hundreds per sample; the length pins the
// offset to one frame. Paused before the seek, the player writes nothing until resumed.
TEST(MusicSeekTest, PlaysFromTheSampleFrameOfTheTimeAsked) {
  TempDir dir;
  const std::string file = dir.write("tone.mp3", tone(2.0));
  std::vector<std::int16_t> takes[2];
  for (int from : {0, 1}) {
    Player p(file);
    p.player->pause();
    p.player->playFrom(from * 0.75);
    ASSERT_TRUE(p.waitFor("pause"));
    EXPECT_EQ(p.record->samplesWritten(), 0u) << "a paused player writes nothing";
    p.player->resume();
    ASSERT_TRUE(p.waitFor("finish"));
    std::lock_guard lock(p.record->mutex);
    takes[from] = p.record->takes[0];
  }
  const std::size_t skipped = 2 * 33075;  // 0.75 s at 44.1 kHz, in samples
  ASSERT_EQ(takes[1].size() + skipped, takes[0].size());
  double difference = 0;
  for (std::size_t i = 4096; i < 8192; ++i) difference += std::abs(takes[1][i] - takes[0][skipped + i]);
  EXPECT_LT(difference / 4096, 8.0) << "mean difference per sample";
}

}  // namespace
}  // namespace tessarine::audio
