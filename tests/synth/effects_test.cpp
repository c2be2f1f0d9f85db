// The shared effects and the mastering chain: echoes where they belong, a ducker that
// gives way to its key, a limiter that holds its ceiling, and loudness measured right.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "synth/effects.h"
#include "synth/loudness.h"
#include "synth/mastering.h"
#include "synth/signal.h"

namespace tessarine::synth {
namespace {

using testing::rms;
using testing::sine;

// The response of a stereo effect to a unit impulse in both channels.
StereoBuffer impulseResponse(auto& effect, std::size_t frames) {
  StereoBuffer out(frames);
  for (std::size_t i = 0; i < frames; ++i) effect.process(i == 0 ? 1.0f : 0.0f, i == 0 ? 1.0f : 0.0f, out.left[i], out.right[i]);
  return out;
}

TEST(EffectsTest, DelayBouncesFromSideToSideAndReverbTailIsWideAndDecays) {
  // 10 ms delay (441 samples): the impulse comes back on the left after 441 samples, on the
  // right after 882, each echo the feedback times the one before.
  StereoDelay delay(0.01, 0.5f, 0.0f);
  StereoBuffer echoes = impulseResponse(delay, 2000);
  EXPECT_FLOAT_EQ(echoes.left[441], 1.0f);
  EXPECT_FLOAT_EQ(echoes.right[441], 0.0f);
  EXPECT_FLOAT_EQ(echoes.right[882], 0.5f);
  EXPECT_FLOAT_EQ(echoes.left[1323], 0.25f);
  EXPECT_FLOAT_EQ(echoes.left[440] + echoes.left[442] + echoes.right[881] + echoes.right[883], 0.0f);

  Reverb reverb(0.84f, 0.25f);
  StereoBuffer tail = impulseResponse(reverb, 3 * kSampleRate);
  double early = rms(tail.left, 0, kSampleRate / 4);
  EXPECT_GT(early, 0.0);
  EXPECT_LT(rms(tail.left, 2 * kSampleRate, kSampleRate), 0.01 * early);  // 40 dB down after two seconds
  EXPECT_NE(tail.left[3000], tail.right[3000]);  // the channels differ: a wide room
  // Nothing comes back before the shortest comb (1116 samples).
  for (std::size_t i = 0; i < 1116; ++i) ASSERT_EQ(tail.left[i], 0.0f) << i;
}

TEST(EffectsTest, DuckerGainDipsUnderTheKeyAndRecovers) {
  Ducker ducker(0.75f, 0.002, 0.18);
  EXPECT_FLOAT_EQ(ducker.gain(0.0f), 1.0f);
  float gain = 1.0f;
  for (int i = 0; i < 441; ++i) gain = ducker.gain(1.0f);  // 10 ms of a full key: 5 attack times
  EXPECT_NEAR(gain, 0.25f, 0.01f);
  // One release time later the envelope is 1/e of the key: 1 - 0.75 / e.
  for (int i = 0; i < static_cast<int>(0.18 * kSampleRate); ++i) gain = ducker.gain(0.0f);
  EXPECT_NEAR(gain, 1.0f - 0.75f / std::exp(1.0f), 0.01f);
}

TEST(MasteringTest, LimiterHoldsTheCeilingAndMasteringReachesTheTarget) {
  const float ceiling = static_cast<float>(fromDecibels(-1.5));
  StereoBuffer loud = sine(100.0, 1.0, 2.0, 0.5);
  limitPeaks(loud, ceiling);
  EXPECT_LE(samplePeak(loud), ceiling * 1.0001f);
  EXPECT_GT(samplePeak(loud), 0.9f * ceiling);
  // Linked: the quiet right channel is turned down with the left, keeping the image.
  EXPECT_NEAR(rms(loud.right, kSampleRate / 2, kSampleRate / 4) / rms(loud.left, kSampleRate / 2, kSampleRate / 4), 0.25, 0.01);
  StereoBuffer quiet = sine(100.0, 1.0, 0.5);
  limitPeaks(quiet, ceiling);
  EXPECT_EQ(quiet.left, sine(100.0, 1.0, 0.5).left);
  // A lone spike is caught without the gain changing ahead of the look-ahead.
  StereoBuffer spike = sine(1000.0, 0.5, 0.5);
  spike.left[kSampleRate / 4] = 4.0f;
  limitPeaks(spike, ceiling);
  EXPECT_LE(samplePeak(spike), ceiling * 1.0001f);
  EXPECT_EQ(spike.left[1000], sine(1000.0, 0.5, 0.5).left[1000]);
  StereoBuffer empty;
  limitPeaks(empty, ceiling);

  // A tone too quiet, and one whose spikes would need 12 dB of limiting at the target.
  StereoBuffer soft = sine(440.0, 4.0, 0.01), spiky = soft;
  for (std::size_t i = 0; i < spiky.frames(); i += kSampleRate / 2) spiky.left[i] = 1.0f;
  for (StereoBuffer* audio : {&soft, &spiky}) {
    MasteringReport report = master(*audio);
    EXPECT_NEAR(report.loudness, kTargetLoudness, 0.1);
    EXPECT_NEAR(integratedLoudness(*audio), kTargetLoudness, 0.1);
    EXPECT_LE(report.peakDb, kPeakCeilingDb + 0.001);
    EXPECT_LE(samplePeak(*audio), fromDecibels(kPeakCeilingDb) * 1.0001);
  }
}

}  // namespace
}  // namespace tessarine::synth
