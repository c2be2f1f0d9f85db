// The music player against a sink that records what it is sent: whole tones at the file's
// rate, restarts from the beginning or the time asked, prompt stops and quits, silence for
// anything unplayable; and where the listener is, from what the output says it holds.
#include "audio/music_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
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
  // The player's clock, which only the test moves.
  std::shared_ptr<std::atomic<double>> now = std::make_shared<std::atomic<double>>(100.0);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> messages{std::tmpfile(), std::fclose};
  std::unique_ptr<MusicPlayer> player;

  explicit Player(const std::string& file, std::chrono::microseconds writeTime = {}, Device device = Device::Opens) {
    record->writeTime = writeTime;
    record->device = device;
    player = std::make_unique<MusicPlayer>(
        file, [record = record] { return std::make_unique<testing::MemorySink>(record); },
        [now = now] { return now->load(); }, messages.get());
  }
  std::string said() const {
    std::fflush(messages.get());
    std::rewind(messages.get());
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), messages.get()));
    return text;
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

TEST(MusicPlayerTest, OpensTheOutputAtOnceAndPlaysTheWholeToneOnlyWhenTold) {
  // An MPEG-1 and an MPEG-2 rate; the second file opens with a tag of 8 MiB whose one frame
  // claims to be far larger than the tag, which must be skipped unread.
  std::string tag = std::string("APIC\x7f\x7f\x7f\x7f\x00\x00\x03image/jpeg\x00\x03", 23);
  tag.resize(8u << 20, '\xff');
  for (auto [rate, before] : {std::pair{44100, std::string()}, {22050, id3v2Header(8u << 20) + tag}}) {
    SCOPED_TRACE(rate);
    TempDir dir;
    Player p(dir.write("tone.mp3", before + tone(1.5, rate)));
    ASSERT_TRUE(p.waitFor("open"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(p.record->samplesWritten(), 0u) << "silent until play";
    p.player->play();
    ASSERT_TRUE(p.waitFor("finish"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a player at the end stays quiet
    std::lock_guard lock(p.record->mutex);
    EXPECT_EQ(p.record->calls, (std::vector<std::string>{"open", "write", "finish"}));
    EXPECT_EQ(p.record->rate, rate);
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

TEST(MusicPlayerTest, UnplayableFileOrNoDeviceGivesASilentPlayerOnTheClock) {
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
    *p.now = *p.now + 1.5;
    EXPECT_EQ(p.player->position(), 1.5) << "the time runs on without music";
    p.player.reset();
    EXPECT_EQ(p.record->samplesWritten(), 0u);
    EXPECT_EQ(p.said(), "");
  }
}

// What the listener hears: where the play began, plus what the output took, less what it
// says it still holds; the clock carries it between two measures, never past what was
// written, and never back.
TEST(MusicPositionTest, FollowsWhatTheOutputSaysItHolds) {
  TempDir dir;
  Player p(dir.write("tone.mp3", tone(3.0)));
  p.record->set([](SinkRecord& r) { r.tellsDelay = true, r.delay = 0.1, r.room = 22050 * kBytesPerFrame; });
  ASSERT_TRUE(p.waitFor("open"));
  p.player->playFrom(1.0);
  EXPECT_EQ(p.player->position(), 1.0) << "stands where it begins until the sound is heard";
  ASSERT_TRUE(p.record->waitFor([](const SinkRecord& r) { return r.room == 0; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // measured once the output is full
  EXPECT_DOUBLE_EQ(*p.player->position(), 1.0 + 0.5 - 0.1);
  *p.now = *p.now + 0.05;
  EXPECT_NEAR(*p.player->position(), 1.45, 1e-9);
  *p.now = *p.now + 0.5;
  EXPECT_DOUBLE_EQ(*p.player->position(), 1.5) << "not past what the output was given";
  p.record->set([](SinkRecord& r) { r.delay = 0.3; });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_DOUBLE_EQ(*p.player->position(), 1.5) << "never back";
  p.player->stop();
  EXPECT_EQ(p.player->position(), std::nullopt);
  // An output that cannot tell: the clock from where the play began.
  Player untold(dir.path() / "tone.mp3");
  untold.player->playFrom(2.0);
  ASSERT_TRUE(untold.waitFor("write"));
  *untold.now = *untold.now + 0.25;
  EXPECT_DOUBLE_EQ(*untold.player->position(), 2.25);
}

// A server that goes away: the time runs on from where the listener was, the loss is said,
// and the next output takes the music up where the time has got to.
TEST(MusicPositionTest, ALostOutputIsFoundAgainAndTheMusicComesBackInPlace) {
  TempDir dir;
  Player p(dir.write("tone.mp3", tone(14.0)));
  p.record->set([](SinkRecord& r) { r.tellsDelay = true, r.delay = 0.2, r.room = 44100 * kBytesPerFrame; });
  p.player->play();
  ASSERT_TRUE(p.record->waitFor([](const SinkRecord& r) { return r.room == 0; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_DOUBLE_EQ(*p.player->position(), 0.8);
  p.record->set([](SinkRecord& r) { r.lost = true, r.device = Device::Refuses; });
  ASSERT_TRUE(p.waitFor("open", 2));  // looked for at once, and refused
  *p.now = *p.now + 1.0;
  EXPECT_DOUBLE_EQ(*p.player->position(), 1.8) << "the clock carries the time on";
  p.record->set([](SinkRecord& r) { r.lost = false, r.device = Device::Opens, r.room = 4410 * kBytesPerFrame; });
  // The next look for an output, however late the refused one was noted.
  *p.now = *p.now + 10.0;
  ASSERT_TRUE(p.waitFor("open", 3));
  ASSERT_TRUE(p.record->waitFor([](const SinkRecord& r) { return r.room == 0; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_DOUBLE_EQ(*p.player->position(), 11.8) << "stands until the new output is heard";
  EXPECT_EQ(p.said(),
            "tessarine: lost the sound output; the music comes back when it does\n"
            "tessarine: the sound output is back, and the music with it\n");
  // The new take begins 11.8 s into the tone: the samples of a fresh play from there.
  std::vector<std::int16_t> resumed;
  {
    std::lock_guard lock(p.record->mutex);
    resumed = p.record->takes.back();
  }
  Player fresh(dir.path() / "tone.mp3");
  fresh.player->playFrom(11.8);
  ASSERT_TRUE(fresh.record->waitFor([](const SinkRecord& r) { return r.samplesWritten() >= 8820; }));
  std::lock_guard lock(fresh.record->mutex);
  EXPECT_TRUE(std::equal(resumed.begin(), resumed.begin() + 8820, fresh.record->takes[0].begin()));
}

// An output stuck inside its library (a server that stopped answering) does not hold up
// quitting: the thread is left to end by itself.
TEST(MusicPlayerTest, QuitsWhileTheOutputIsStuck) {
  TempDir dir;
  Player p(dir.write("tone.mp3", tone(1.0)), std::chrono::seconds(2));
  p.player->play();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // into the first write
  p.player.reset();
  std::lock_guard lock(p.record->mutex);
  EXPECT_EQ(p.record->calls, std::vector<std::string>{"open"}) << "returned while the write went on";
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
// offset to one frame.
TEST(MusicSeekTest, PlaysFromTheSampleFrameOfTheTimeAsked) {
  TempDir dir;
  const std::string file = dir.write("tone.mp3", tone(2.0));
  std::vector<std::int16_t> takes[2];
  for (int from : {0, 1}) {
    Player p(file);
    p.player->playFrom(from * 0.75);
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
