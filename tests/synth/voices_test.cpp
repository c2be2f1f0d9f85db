// The building blocks checked by their signals: oscillator spectra, envelope timing,
// filter responses and the kick's falling pitch.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "synth/adsr.h"
#include "synth/drums.h"
#include "synth/filter.h"
#include "synth/noise.h"
#include "synth/oscillator.h"
#include "synth/voices.h"
#include "synth/signal.h"

namespace tessarine::synth {
namespace {

using testing::amplitudeAt;
using testing::rms;

std::vector<float> run(Oscillator& oscillator, std::size_t count) {
  std::vector<float> samples(count);
  for (float& sample : samples) sample = oscillator.next();
  return samples;
}

TEST(OscillatorTest, EachWaveformHasItsFundamentalAt440Hz) {
  // Fourier series of the unit waveforms: sine 1, saw 2/pi, square 4/pi; the saw has every
  // harmonic (the 2nd at 1/pi), the square only odd ones.
  struct Case {
    Waveform waveform;
    double fundamental;
    double second;
    double third;
  } cases[] = {
      {Waveform::Sine, 1.0, 0.0, 0.0},
      {Waveform::Saw, 2.0 / std::numbers::pi, 1.0 / std::numbers::pi, 2.0 / (3.0 * std::numbers::pi)},
      {Waveform::Square, 4.0 / std::numbers::pi, 0.0, 4.0 / (3.0 * std::numbers::pi)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.waveform));
    Oscillator oscillator(c.waveform);
    oscillator.setFrequency(440.0);
    std::vector<float> samples = run(oscillator, kSampleRate);  // 440 whole cycles
    EXPECT_NEAR(amplitudeAt(samples, 440.0, 0, samples.size()), c.fundamental, 0.01);
    EXPECT_NEAR(amplitudeAt(samples, 880.0, 0, samples.size()), c.second, 0.01);
    EXPECT_NEAR(amplitudeAt(samples, 1320.0, 0, samples.size()), c.third, 0.01);
    // Nothing between the harmonics.
    EXPECT_LT(amplitudeAt(samples, 660.0, 0, samples.size()), 0.005);
  }
}

TEST(OscillatorTest, HighSawKeepsItsFoldedHarmonicsQuiet) {
  // A 3520 Hz saw: its 13th harmonic, 45760 Hz, would fold back to 44100 - 45760 = 1660 Hz
  // (amplitude 2/(13 pi), about 0.049) in a naive saw; band-limiting keeps it far lower.
  Oscillator oscillator(Waveform::Saw);
  oscillator.setFrequency(3520.0);
  std::vector<float> samples = run(oscillator, kSampleRate);
  EXPECT_NEAR(amplitudeAt(samples, 3520.0, 0, samples.size()), 2.0 / std::numbers::pi, 0.03);
  EXPECT_LT(amplitudeAt(samples, 1660.0, 0, samples.size()), 0.005);
}

TEST(AdsrTest, StagesTakeTheirTimes) {
  // 10 ms attack is 441 samples, 100 ms decay 4410, 20 ms release 882 at 44.1 kHz.
  Adsr adsr({0.01f, 0.1f, 0.5f, 0.02f});
  EXPECT_FALSE(adsr.active());
  adsr.gateOn();
  std::vector<float> levels;
  for (int i = 0; i < 441 + 4410 + 100; ++i) levels.push_back(adsr.next());
  EXPECT_NEAR(levels[0], 1.0f / 441, 1e-6);
  EXPECT_NEAR(levels[219], 220.0f / 441, 1e-4);
  EXPECT_FLOAT_EQ(levels[440], 1.0f);
  EXPECT_NEAR(levels[440 + 2205], 0.75f, 1e-3);  // half way down to sustain
  EXPECT_FLOAT_EQ(levels.back(), 0.5f);
  adsr.gateOff();
  int samples = 0;
  while (adsr.active() && samples < 10000) {
    adsr.next();
    ++samples;
  }
  EXPECT_NEAR(samples, 882, 2);
  EXPECT_EQ(adsr.level(), 0.0f);
}

TEST(AdsrTest, RetriggerRisesFromThePresentLevelWithoutAJump) {
  Adsr adsr({0.01f, 0.0f, 1.0f, 0.1f});
  adsr.gateOn();
  for (int i = 0; i < 1000; ++i) adsr.next();
  adsr.gateOff();
  for (int i = 0; i < 2205; ++i) adsr.next();  // half the release
  float before = adsr.level();
  adsr.gateOn();
  float after = adsr.next();
  EXPECT_NEAR(before, 0.5f, 0.01f);
  EXPECT_GT(after, before);
  EXPECT_LT(after - before, 0.01f);
}

// Gain of the filter for a steady sine, measured after the filter has settled.
double gainAt(StateVariableFilter::Mode mode, double cutoff, double resonance, double hertz) {
  StateVariableFilter filter(mode);
  filter.set(cutoff, resonance);
  std::vector<float> out(2 * kSampleRate);
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = filter.process(static_cast<float>(std::sin(2.0 * std::numbers::pi * hertz * static_cast<double>(i) / kSampleRate)));
  }
  return amplitudeAt(out, hertz, kSampleRate, kSampleRate);
}

TEST(FilterTest, ResponsesAtAndAroundTheCutoff) {
  using Mode = StateVariableFilter::Mode;
  constexpr double kFlat = 1.0 / std::numbers::sqrt2;
  // Second order at Q 0.707 (Butterworth): 1/sqrt(2) at the cutoff, about 1/64 three
  // octaves past it, flat an octave and more inside the pass band.
  EXPECT_NEAR(gainAt(Mode::LowPass, 1000.0, kFlat, 100.0), 1.0, 0.01);
  EXPECT_NEAR(gainAt(Mode::LowPass, 1000.0, kFlat, 1000.0), kFlat, 0.01);
  EXPECT_LT(gainAt(Mode::LowPass, 1000.0, kFlat, 8000.0), 1.0 / 60.0);
  EXPECT_NEAR(gainAt(Mode::HighPass, 1000.0, kFlat, 8000.0), 1.0, 0.01);
  EXPECT_LT(gainAt(Mode::HighPass, 1000.0, kFlat, 125.0), 1.0 / 60.0);
  // Resonance: the low-pass peaks to Q at its cutoff; the band-pass passes Q there too.
  EXPECT_NEAR(gainAt(Mode::LowPass, 1000.0, 4.0, 1000.0), 4.0, 0.05);
  EXPECT_NEAR(gainAt(Mode::BandPass, 2000.0, 2.0, 2000.0), 2.0, 0.05);
  // A cutoff past Nyquist is held below it and stays stable.
  double high = gainAt(Mode::LowPass, 1.0e6, 8.0, 1000.0);
  EXPECT_TRUE(std::isfinite(high));
  EXPECT_NEAR(high, 1.0, 0.05);
}

TEST(NoiseTest, SeededAndWhite) {
  Noise a(42), b(42), c(43);
  std::vector<float> first, second;
  bool differs = false;
  double sum = 0.0;
  for (int i = 0; i < 100000; ++i) {
    float x = a.next();
    EXPECT_EQ(x, b.next());
    differs = differs || x != c.next();
    EXPECT_GE(x, -1.0f);
    EXPECT_LE(x, 1.0f);
    sum += x;
  }
  EXPECT_TRUE(differs);
  EXPECT_NEAR(sum / 100000, 0.0, 0.01);
  Noise zero(0);  // a zero state would stick at zero for ever
  EXPECT_NE(zero.next(), zero.next());
}

// Frequency over [from, to) seconds of one hit, by counting rising zero crossings.
double crossingHertz(const std::vector<float>& samples, double from, double to) {
  std::size_t begin = static_cast<std::size_t>(from * kSampleRate);
  std::size_t end = static_cast<std::size_t>(to * kSampleRate);
  std::vector<double> crossings;
  for (std::size_t i = begin + 1; i < end; ++i) {
    if (samples[i - 1] < 0.0f && samples[i] >= 0.0f) {
      crossings.push_back(static_cast<double>(i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]));
    }
  }
  if (crossings.size() < 2) return 0.0;
  return kSampleRate * static_cast<double>(crossings.size() - 1) / (crossings.back() - crossings.front());
}

TEST(DrumTest, KickPitchFallsToItsBody) {
  Kick kick;
  kick.trigger(1.0f);
  std::vector<float> samples(kSampleRate / 2);
  for (float& sample : samples) sample = kick.next();
  // The pitch is 45 + 115 exp(-t / 35 ms) Hz: on average about 132 Hz over the first 20 ms,
  // within half a hertz of 45 from 150 ms on.
  double early = crossingHertz(samples, 0.0, 0.02);
  double late = crossingHertz(samples, 0.15, 0.4);
  EXPECT_GT(early, 100.0);
  EXPECT_NEAR(late, Kick::kEndHertz, 1.5);
  // It dies away, and a hard hit stays within full scale despite the drive.
  float peak = 0.0f;
  for (float sample : samples) peak = std::max(peak, std::fabs(sample));
  EXPECT_LE(peak, 1.0f);
  EXPECT_GT(rms(samples, 0, 2205), 10.0 * rms(samples, samples.size() - 2205, 2205));  // 20 dB in half a second
}

TEST(DrumTest, ClosedHatChokesAnOpenOne) {
  auto tail = [](bool choke) {
    HiHat hat;
    hat.triggerOpen(1.0f);
    std::vector<float> samples(kSampleRate / 4);
    for (std::size_t i = 0; i < samples.size(); ++i) {
      if (choke && i == 2205) hat.triggerClosed(0.5f);
      samples[i] = hat.next();
    }
    return rms(samples, kSampleRate * 3 / 20, kSampleRate / 10);  // 150 to 250 ms
  };
  EXPECT_LT(tail(true), 0.05 * tail(false));
  // Hats are bright: their energy lies above the snare and the bass.
  HiHat hat;
  hat.triggerOpen(1.0f);
  std::vector<float> samples(kSampleRate / 10);
  for (float& sample : samples) sample = hat.next();
  EXPECT_LT(amplitudeAt(samples, 500.0, 0, samples.size()), 0.1 * amplitudeAt(samples, 10000.0, 0, samples.size()));
}

TEST(VoiceTest, MonoVoicePlaysItsNoteAndFallsSilentAfterRelease) {
  MonoPatch patch;
  patch.waveform = Waveform::Saw;
  patch.amp = {0.001f, 0.0f, 1.0f, 0.05f};
  patch.cutoffHertz = 4000.0;
  patch.envelopeHertz = 0.0;
  MonoVoice voice(patch);
  voice.noteOn(57, 1.0f);  // A3, 220 Hz
  std::vector<float> samples(kSampleRate / 2);
  for (float& sample : samples) sample = voice.next();
  double at220 = amplitudeAt(samples, 220.0, kSampleRate / 4, kSampleRate / 4);
  EXPECT_NEAR(at220, 2.0 / std::numbers::pi, 0.05);
  EXPECT_LT(amplitudeAt(samples, 233.08, kSampleRate / 4, kSampleRate / 4), 0.1 * at220);
  voice.noteOff();
  for (int i = 0; i < kSampleRate / 10; ++i) voice.next();
  EXPECT_EQ(voice.next(), 0.0f);
}

TEST(VoiceTest, PadSpreadsItsDetunedSawsAcrossBothChannels) {
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
    float l, r;
    pad.next(l, r);
    ASSERT_TRUE(std::isfinite(l) && std::isfinite(r));
  }
}

}  // namespace
}  // namespace tessarine::synth
