// The piece against the show's timeline: its length, where the sections and the beat
// fall, the silent start and end that make the loop seamless, and a mix that never clips.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "synth/loudness.h"
#include "synth/mastering.h"
#include "synth/piece.h"
#include "synth/score.h"
#include "synth/signal.h"

namespace tessarine::synth {
namespace {

// 10 + 15 + 12 + 12 + 8 + 15 = 72 bars of 2 s (120 beats a minute, four to a bar).
constexpr int kShowBars = 72;
constexpr std::int64_t kBar = 2 * kSampleRate;
constexpr int kHypercubeBar = 10, kTerrainBar = 25, kCrystalCityBar = 37, kVertigoBar = 49, kUnfoldingBar = 57;

std::vector<std::int64_t> startsOf(const std::vector<NoteEvent>& events, Instrument instrument) {
  std::vector<std::int64_t> starts;
  for (const NoteEvent& event : events) {
    if (event.instrument == instrument) starts.push_back(event.start);
  }
  return starts;
}

TEST(PieceTest, SectionsAndAccentsFallOnTheScenesBarLines) {
  std::vector<NoteEvent> show = scoreBars(0, kShowBars);
  ASSERT_TRUE(std::is_sorted(show.begin(), show.end(), [](auto& a, auto& b) { return a.start < b.start; }));
  std::vector<std::int64_t> kicks = startsOf(show, Instrument::Kick);
  ASSERT_FALSE(kicks.empty());
  // The beat enters on the first downbeat of the hypercube, not a sample early.
  EXPECT_EQ(kicks.front(), kHypercubeBar * kBar);
  // The breakdown has no kick; full energy starts with one.
  EXPECT_EQ(std::count_if(kicks.begin(), kicks.end(),
                          [](std::int64_t k) { return k >= kTerrainBar * kBar && k < kCrystalCityBar * kBar; }),
            0);
  EXPECT_TRUE(std::binary_search(kicks.begin(), kicks.end(), kCrystalCityBar * kBar));
  EXPECT_TRUE(std::binary_search(kicks.begin(), kicks.end(), kVertigoBar * kBar));
  // Every pad chord starts on a bar line.
  for (std::int64_t start : startsOf(show, Instrument::Pad)) EXPECT_EQ(start % kBar, 0) << start;
  // The outro lets go in time: nothing starts in the last two bars, nothing is held into them.
  for (const NoteEvent& event : show) {
    EXPECT_LE(event.start + event.length, (kShowBars - 2) * kBar) << static_cast<int>(event.instrument);
  }
  // The hypercube accents the first beat only; the crystal city and vertigo the third too.
  auto kickVelocityAt = [](int bar, int beat) {
    for (const NoteEvent& event : scoreBars(bar, 1)) {
      if (event.instrument == Instrument::Kick && event.start == beat * kBar / 4) return event.velocity;
    }
    return -1.0f;
  };
  EXPECT_GT(kickVelocityAt(kHypercubeBar + 1, 0), kickVelocityAt(kHypercubeBar + 1, 2));
  EXPECT_EQ(kickVelocityAt(kCrystalCityBar + 1, 0), kickVelocityAt(kCrystalCityBar + 1, 2));
  EXPECT_GT(kickVelocityAt(kVertigoBar + 1, 2), kickVelocityAt(kVertigoBar + 1, 1));
}

TEST(PieceTest, ExcerptsScoreAndRenderTheirOwnBarsOnly) {
  EXPECT_EQ(pieceFrames(), static_cast<std::size_t>(144 * kSampleRate));
  EXPECT_EQ(renderBars(kShowBars - 1, 3).frames(), static_cast<std::size_t>(3 * kBar));
  std::vector<std::int64_t> expected;
  for (std::int64_t start : startsOf(scoreBars(0, kShowBars), Instrument::Kick)) {
    if (start >= kUnfoldingBar * kBar && start < (kUnfoldingBar + 1) * kBar) expected.push_back(start - kUnfoldingBar * kBar);
  }
  EXPECT_EQ(startsOf(scoreBars(kUnfoldingBar, 1), Instrument::Kick), expected);
  EXPECT_EQ(expected.size(), 4u);
  EXPECT_TRUE(scoreBars(kShowBars, 4).empty());
  EXPECT_TRUE(scoreBars(-3, 3).empty());
  EXPECT_TRUE(scoreBars(0, 0).empty());
}

TEST(PieceTest, StartsFromSilenceAndEndsInIt) {
  StereoBuffer intro = renderBars(0, 1);
  EXPECT_EQ(intro.left[0], 0.0f);
  for (std::size_t i = 0; i < kSampleRate / 20; ++i) {  // the first 50 ms
    ASSERT_LT(std::max(std::fabs(intro.left[i]), std::fabs(intro.right[i])), 1e-3f) << i;
  }
  EXPECT_GT(testing::rms(intro.left, kBar / 2, kBar / 2), 1e-3);  // but something does come in
  // The last bars, and beyond: the end fades to exactly zero and stays there.
  StereoBuffer end = renderBars(kShowBars - 2, 3);
  std::size_t last = static_cast<std::size_t>(2 * kBar) - 1;
  for (std::size_t i = last; i < end.frames(); ++i) ASSERT_TRUE(end.left[i] == 0.0f && end.right[i] == 0.0f) << i;
  EXPECT_LT(testing::rms(end.left, last - kSampleRate, kSampleRate), 1e-4);
}

TEST(PieceTest, FullEnergyMixNeverClips) {
  StereoBuffer raw = renderBars(kCrystalCityBar + 4, 2);
  for (std::size_t i = 0; i < raw.frames(); ++i) ASSERT_TRUE(std::isfinite(raw.left[i]) && std::isfinite(raw.right[i]));
  // The raw mix is within a few dB of full scale, so mastering never has to crush it.
  EXPECT_LT(samplePeak(raw), 2.0f);
  EXPECT_GT(samplePeak(raw), 0.25f);
  MasteringReport report = master(raw);
  EXPECT_LE(report.peakDb, kPeakCeilingDb + 0.001);
  EXPECT_LE(samplePeak(raw), fromDecibels(-1.0));
  EXPECT_NEAR(report.loudness, kTargetLoudness, 0.1);
}

}  // namespace
}  // namespace tessarine::synth
