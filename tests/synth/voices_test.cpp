// The building blocks checked by their signals: oscillator spectra, envelope timing,
// filter responses and the kick's falling pitch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "synth/adsr.h"
#include "synth/drums.h"
#include "synth/filter.h"
#include "synth/oscillator.h"
#include "synth/signal.h"
#include "synth/voices.h"

namespace tessarine::synth {
namespace {

using testing::amplitudeAt;
using testing::rms;
using std::numbers::pi;

// `count` samples of `next()`.
std::vector<float> take(std::size_t count, auto next) {
  std::vector<float> samples(count);
  for (float& sample : samples) sample = next();
  return samples;
}

TEST(OscillatorTest, EachWaveformHasItsHarmonicsAndNoFoldedOnes) {
  // Fourier series of the unit waveforms: sine 1, saw 2/pi, square 4/pi; the saw has every
  // harmonic (the 2nd at 1/pi), the square only odd ones. A 3520 Hz saw's 13th harmonic,
  // 45760 Hz, would fold back to 1660 Hz (2/(13 pi), about 0.049) in a naive saw.
  struct Case {
    Waveform waveform;
    double hertz, fundamental, second, third, tolerance;
    double silentHertz;  // between the harmonics, or where one would fold back
  } cases[] = {
      {Waveform::Sine, 440.0, 1.0, 0.0, 0.0, 0.01, 660.0},
      {Waveform::Saw, 440.0, 2.0 / pi, 1.0 / pi, 2.0 / (3.0 * pi), 0.01, 660.0},
      {Waveform::Square, 440.0, 4.0 / pi, 0.0, 4.0 / (3.0 * pi), 0.01, 660.0},
      {Waveform::Saw, 3520.0, 2.0 / pi, 0.0, 0.0, 0.03, 1660.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hertz);
    Oscillator oscillator(c.waveform);
    oscillator.setFrequency(c.hertz);
    std::vector<float> s = take(kSampleRate, [&] { return oscillator.next(); });  // whole cycles
    EXPECT_NEAR(amplitudeAt(s, c.hertz, 0, s.size()), c.fundamental, c.tolerance) << static_cast<int>(c.waveform);
    EXPECT_LT(amplitudeAt(s, c.silentHertz, 0, s.size()), 0.005) << static_cast<int>(c.waveform);
    if (c.hertz > kSampleRate / 16) continue;  // band-limiting rightly softens the high saw's upper harmonics
    EXPECT_NEAR(amplitudeAt(s, 2 * c.hertz, 0, s.size()), c.second, c.tolerance) << static_cast<int>(c.waveform);
    EXPECT_NEAR(amplitudeAt(s, 3 * c.hertz, 0, s.size()), c.third, c.tolerance) << static_cast<int>(c.waveform);
  }
}

TEST(AdsrTest, StagesTakeTheirTimesAndRetriggerDoesNotJump) {
  // 10 ms attack is 441 samples, 100 ms decay 4410, 20 ms release 882 at 44.1 kHz.
  Adsr adsr({0.01f, 0.1f, 0.5f, 0.02f});
  EXPECT_FALSE(adsr.active());
  adsr.gateOn();
  std::vector<float> levels = take(441 + 4410 + 100, [&] { return adsr.next(); });
  EXPECT_NEAR(levels[0], 1.0f / 441, 1e-6);
  EXPECT_NEAR(levels[219], 220.0f / 441, 1e-4);
  EXPECT_FLOAT_EQ(levels[440], 1.0f);
  EXPECT_NEAR(levels[440 + 2205], 0.75f, 1e-3);  // half way down to sustain
  EXPECT_FLOAT_EQ(levels.back(), 0.5f);
  adsr.gateOff();
  int samples = 0;
  for (; adsr.active() && samples < 10000; ++samples) adsr.next();
  EXPECT_NEAR(samples, 882, 2);
  EXPECT_EQ(adsr.level(), 0.0f);

  // Gate on half way through a release: the level rises from where it is.
  Adsr again({0.01f, 0.0f, 1.0f, 0.1f});
  again.gateOn();
  take(1000, [&] { return again.next(); });
  again.gateOff();
  take(2205, [&] { return again.next(); });
  float before = again.level();
  again.gateOn();
  float after = again.next();
  EXPECT_NEAR(before, 0.5f, 0.01f);
  EXPECT_GT(after, before);
  EXPECT_LT(after - before, 0.01f);
}

TEST(FilterTest, ResponsesAtAndAroundTheCutoff) {
  using Mode = StateVariableFilter::Mode;
  constexpr double kFlat = 1.0 / std::numbers::sqrt2;
  // Second order at Q 0.707 (Butterworth): 1/sqrt(2) at the cutoff, about 1/64 three
  // octaves past it, flat an octave and more inside the pass band. Resonance: the low-pass
  // peaks to Q at its cutoff, the band-pass passes Q there. A cutoff past Nyquist is held
  // below it and stays stable.
  struct Case {
    Mode mode;
    double cutoff, resonance, hertz, gain, tolerance;  // tolerance 0: gain is a ceiling
  } cases[] = {
      {Mode::LowPass, 1000.0, kFlat, 100.0, 1.0, 0.01},    {Mode::LowPass, 1000.0, kFlat, 1000.0, kFlat, 0.01},
      {Mode::LowPass, 1000.0, kFlat, 8000.0, 1 / 60.0, 0}, {Mode::HighPass, 1000.0, kFlat, 8000.0, 1.0, 0.01},
      {Mode::HighPass, 1000.0, kFlat, 125.0, 1 / 60.0, 0}, {Mode::LowPass, 1000.0, 4.0, 1000.0, 4.0, 0.05},
      {Mode::BandPass, 2000.0, 2.0, 2000.0, 2.0, 0.05},    {Mode::LowPass, 1.0e6, 8.0, 1000.0, 1.0, 0.05},
  };
  for (const Case& c : cases) {
    StateVariableFilter filter(c.mode);
    filter.set(c.cutoff, c.resonance);
    std::size_t i = 0;
    std::vector<float> out = take(2 * kSampleRate, [&] {
      return filter.process(static_cast<float>(std::sin(2.0 * pi * c.hertz * static_cast<double>(i++) / kSampleRate)));
    });
    double gain = amplitudeAt(out, c.hertz, kSampleRate, kSampleRate);  // once settled
    SCOPED_TRACE(::testing::Message() << static_cast<int>(c.mode) << " at " << c.cutoff << ", " << c.hertz << " Hz");
    ASSERT_TRUE(std::isfinite(gain));
    if (c.tolerance == 0) EXPECT_LT(gain, c.gain);
    else EXPECT_NEAR(gain, c.gain, c.tolerance);
  }
}

// Frequency over [from, to) seconds, by counting rising zero crossings.
double crossingHertz(const std::vector<float>& s, double from, double to) {
  std::vector<double> crossings;
  for (auto i = static_cast<std::size_t>(from * kSampleRate) + 1; i < static_cast<std::size_t>(to * kSampleRate); ++i) {
    if (s[i - 1] < 0.0f && s[i] >= 0.0f) crossings.push_back(static_cast<double>(i - 1) + s[i - 1] / (s[i - 1] - s[i]));
  }
  if (crossings.size() < 2) return 0.0;
  return kSampleRate * static_cast<double>(crossings.size() - 1) / (crossings.back() - crossings.front());
}

TEST(DrumTest, KickFallsToItsBodyAndClosedHatChokesAnOpenOne) {
  Kick kick;
  kick.trigger(1.0f);
  std::vector<float> samples = take(kSampleRate / 2, [&] { return kick.next(); });
  // The pitch is 45 + 115 exp(-t / 35 ms) Hz: on average about 132 Hz over the first 20 ms,
  // within half a hertz of 45 from 150 ms on.
  EXPECT_GT(crossingHertz(samples, 0.0, 0.02), 100.0);
  EXPECT_NEAR(crossingHertz(samples, 0.15, 0.4), Kick::kEndHertz, 1.5);
  // It dies away 20 dB in half a second, and a hard hit stays within full scale despite the drive.
  for (float sample : samples) ASSERT_LE(std::fabs(sample), 1.0f);
  EXPECT_GT(rms(samples, 0, 2205), 10.0 * rms(samples, samples.size() - 2205, 2205));

  auto hat = [](bool choke) {
    HiHat hat;
    hat.triggerOpen(1.0f);
    std::size_t i = 0;
    return take(kSampleRate / 4, [&] {
      if (choke && i++ == 2205) hat.triggerClosed(0.5f);
      return hat.next();
    });
  };
  std::vector<float> open = hat(false);
  EXPECT_LT(rms(hat(true), kSampleRate * 3 / 20, kSampleRate / 10), 0.05 * rms(open, kSampleRate * 3 / 20, kSampleRate / 10));
  // Hats are bright: their energy lies above the snare and the bass.
  EXPECT_LT(amplitudeAt(open, 500.0, 0, kSampleRate / 10), 0.1 * amplitudeAt(open, 10000.0, 0, kSampleRate / 10));
}

TEST(VoiceTest, MonoVoiceAndPadPlayTheirNotes) {
  MonoPatch patch;
  patch.waveform = Waveform::Saw;
  patch.amp = {0.001f, 0.0f, 1.0f, 0.05f};
  patch.cutoffHertz = 4000.0;
  patch.envelopeHertz = 0.0;
  MonoVoice voice(patch);
  voice.noteOn(57, 1.0f);  // A3, 220 Hz
  std::vector<float> samples = take(kSampleRate / 2, [&] { return voice.next(); });
  double at220 = amplitudeAt(samples, 220.0, kSampleRate / 4, kSampleRate / 4);
  EXPECT_NEAR(at220, 2.0 / pi, 0.05);
  EXPECT_LT(amplitudeAt(samples, 233.08, kSampleRate / 4, kSampleRate / 4), 0.1 * at220);
  voice.noteOff();
  take(kSampleRate / 10, [&] { return voice.next(); });
  EXPECT_EQ(voice.next(), 0.0f);

  Pad pad;
  pad.setCutoff(5000.0);
  pad.noteOn(69, 1.0f);
  std::vector<float> left(kSampleRate * 3), right(kSampleRate * 3);
  for (std::size_t i = 0; i < left.size(); ++i) pad.next(left[i], right[i]);
  // Slow attack: quiet at first, full after two seconds; energy at 440 Hz in both sides,
  // but the two sides are not the same signal.
  EXPECT_LT(rms(left, 0, 441), 0.1 * rms(left, 2 * kSampleRate, kSampleRate));
  EXPECT_GT(amplitudeAt(left, 440.0, 2 * kSampleRate, kSampleRate), 0.05);
  EXPECT_GT(amplitudeAt(right, 440.0, 2 * kSampleRate, kSampleRate), 0.05);
  double difference = 0.0;
  for (std::size_t i = 2 * kSampleRate; i < left.size(); ++i) difference += std::fabs(left[i] - right[i]);
  EXPECT_GT(difference / kSampleRate, 0.01);
  // More notes than voices: the oldest gives way and nothing breaks.
  for (int note = 40; note < 40 + 2 * Pad::kMaxVoices; ++note) pad.noteOn(note, 1.0f);
  for (int i = 0; i < 1000; ++i) {
    pad.next(left[i], right[i]);
    ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i]));
  }
}

}  // namespace
}  // namespace tessarine::synth
