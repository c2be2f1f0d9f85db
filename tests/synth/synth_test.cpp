// The soundtrack's parts against values computed by hand: echoes, the limiter's ceiling,
// loudness, the MP3 writer through an independent decoder, and a piece that fits the show
// and loops without a click.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/error_message.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "synth/effects.h"
#include "synth/loudness.h"
#include "synth/mastering.h"
#include "synth/mp3_reader.h"
#include "synth/mp3_writer.h"
#include "synth/piece.h"
#include "synth/signal.h"
#include "timeline/timeline.h"

namespace tessarine::synth {
namespace {

using testing::amplitudeAt;
using testing::sine;

TEST(MasteringTest, EchoesLimiterAndLoudness) {
  // 10 ms delay (441 samples): the impulse comes back on the left, then on the right,
  // each echo the feedback times the one before.
  StereoDelay delay(0.01, 0.5f, 0.0f);
  std::vector<float> left(1400), right(1400);
  for (std::size_t i = 0; i < left.size(); ++i) delay.process(i == 0, i == 0, left[i], right[i]);
  const std::tuple<std::size_t, float, float> echoes[] = {{440, 0, 0}, {441, 1, 0}, {882, 0, 0.5f}, {1323, 0.25f, 0}};
  for (auto [at, l, r] : echoes) EXPECT_TRUE(left[at] == l && right[at] == r) << at;

  // The limiter holds its ceiling, turning the quiet right channel down with the left,
  // and leaves what is under it alone.
  const float ceiling = 0.84f;
  StereoBuffer loud = sine(100.0, 1.0, 2.0, 0.5), quiet = sine(100.0, 1.0, 0.5, 0.5), untouched = quiet;
  limitPeaks(loud, ceiling);
  limitPeaks(quiet, ceiling);
  EXPECT_LE(samplePeak(loud), ceiling * 1.0001f);
  EXPECT_GT(samplePeak(loud), 0.9f * ceiling);
  EXPECT_NEAR(amplitudeAt(loud.right, 100, kSampleRate / 2, kSampleRate / 4) /
                  amplitudeAt(loud.left, 100, kSampleRate / 2, kSampleRate / 4), 0.25, 0.01);
  EXPECT_EQ(quiet.left, untouched.left);

  // A 997 Hz sine at -23 dBFS in both channels reads -23 LUFS.
  EXPECT_NEAR(integratedLoudness(sine(997.0, 5.0, 0.0707946, 0.0707946)), -23.0, 0.1);
  // A tone too quiet, and one whose spikes need limiting at the target, both reach it.
  StereoBuffer soft = sine(440.0, 4.0, 0.01, 0.01), spiky = soft;
  for (std::size_t i = 0; i < spiky.frames(); i += kSampleRate / 2) spiky.left[i] = 1.0f;
  for (StereoBuffer* audio : {&soft, &spiky}) {
    master(*audio);
    EXPECT_NEAR(integratedLoudness(*audio), kTargetLoudness, 0.1);
    EXPECT_LE(samplePeak(*audio), std::pow(10.0, kPeakCeilingDb / 20) * 1.0001);
  }
}

TEST(Mp3Test, RoundTripThroughAnIndependentDecoder) {
  // 2.5 s: not a whole number of 1152-sample MP3 frames, so padding must be trimmed.
  StereoBuffer audio = sine(440.0, 2.5, 0.5, 0.0);
  audio.right = sine(660.0, 2.5, 0.5, 0.5).right;
  tessarine::testing::TempDir dir;
  // An old file in the way is replaced whole, and the same audio gives the same bytes.
  const std::string path = dir.write("THREE.mp3", "old contents"), again = (dir.path() / "again.mp3").string();
  writeMp3(path, audio);
  writeMp3(again, audio);
  auto bytesOf = [](const std::string& file) { return tessarine::testing::readFile(file); };
  const std::string bytes = bytesOf(path);
  EXPECT_EQ(bytes, bytesOf(again));
  // It opens on an MPEG-1 Layer III frame sync, with no tag before or after.
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]) << 8 | (static_cast<unsigned char>(bytes[1]) & 0xFE), 0xFFFA);
  EXPECT_NE(bytes.substr(bytes.size() - 128, 3), "TAG");
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));

  DecodedMp3 decoded = readMp3(path);
  EXPECT_EQ(decoded.sampleRate, 44100);
  EXPECT_EQ(decoded.channels, 2);
  EXPECT_EQ(decoded.audio.frames(), audio.frames());  // delay and padding accounted for
  const StereoBuffer& out = decoded.audio;
  EXPECT_NEAR(amplitudeAt(out.left, 440.0, kSampleRate / 2, kSampleRate), 0.5, 0.02);
  EXPECT_NEAR(amplitudeAt(out.right, 660.0, kSampleRate / 2, kSampleRate), 0.5, 0.02);
  EXPECT_LT(amplitudeAt(out.left, 660.0, kSampleRate / 2, kSampleRate), 0.01);
  // In time with the input: no encoder delay is left at the start.
  double error = 0.0;
  for (std::size_t i = kSampleRate / 2; i < kSampleRate; ++i) error += std::fabs(out.left[i] - audio.left[i]);
  EXPECT_LT(error / (kSampleRate / 2), 0.02);

  // A file that is not MP3 is refused by name, never crashes the reader.
  for (const std::string& bad : {std::string(), std::string(4096, 'x'), std::string("\xFF\xFB\x90\x64")}) {
    const std::string file = dir.write("bad.mp3", bad);
    EXPECT_TRUE(tessarine::testing::messageOf([&] { readMp3(file); }).starts_with("I can't decode " + file + ": ")) << bad.size();
  }
}

TEST(PieceTest, LastsTheShowAndLoopsFromSilenceToSilence) {
  EXPECT_EQ(pieceFrames(), static_cast<std::size_t>(timeline::totalBars() * 2 * kSampleRate));
  StereoBuffer intro = renderBars(0, 1);
  for (std::size_t i = 0; i < kSampleRate / 20; ++i) ASSERT_LT(std::fabs(intro.left[i]), 1e-3f) << i;  // 50 ms
  EXPECT_GT(samplePeak(intro), 0.01f);  // but something does come in
  // The last bar fades to exactly zero, and bars past the end are silent.
  StereoBuffer end = renderBars(timeline::totalBars() - 1, 2);
  for (std::size_t i = 2 * kSampleRate - 1; i < end.frames(); ++i) ASSERT_TRUE(end.left[i] == 0 && end.right[i] == 0) << i;
}

}  // namespace
}  // namespace tessarine::synth
