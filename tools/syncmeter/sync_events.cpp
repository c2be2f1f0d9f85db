// Picture changes and clicks found in a recording, paired and summed up by kind.
#include "syncmeter/sync_events.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tessarine::syncmeter {
namespace {

constexpr double kClickLevel = 32768 / 2.0;
constexpr double kMillisecondsPerSecond = 1000;
// Spans before a picture change and a click that must agree for them to pair at any
// distance: one alone may agree by chance after a seek.
constexpr std::size_t kMatchedSpans = 2;
// Offsets at each end of the run that the drift is taken over.
constexpr std::size_t kDriftSpan = 3;

double largestChannelStep(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  double step = 0;
  for (std::size_t c = 0; c < a.size(); ++c) step = std::max(step, std::abs(a[c] - b[c]));
  return step;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t half = values.size() / 2;
  return values.size() % 2 == 1 ? values[half] : (values[half - 1] + values[half]) / 2;
}

Summary summarise(const std::vector<double>& offsets) {
  return {.count = offsets.size(), .medianMs = median(offsets),
          .minMs = *std::min_element(offsets.begin(), offsets.end()),
          .maxMs = *std::max_element(offsets.begin(), offsets.end())};
}

// Whether picture changes i - 1 and i follow their previous changes by the times clicks
// c - 1 and c follow theirs: the same two scenes, however far the sound is off.
bool sameSpans(const std::vector<double>& pictureTimes, std::size_t i, const std::vector<double>& clicks, std::size_t c) {
  for (std::size_t back = 0; back < kMatchedSpans; ++back) {
    const double picture = pictureTimes[i - back] - pictureTimes[i - back - 1];
    if (std::abs(clicks[c - back] - clicks[c - back - 1] - picture) > kSpanTolerance) return false;
  }
  return true;
}

// The nearest free click within kSameSpanWindow of picture change `i` that sameSpans
// pairs with it. The first change of all is never a switch, so its span is not used.
std::optional<std::size_t> clickOfSameSpans(const std::vector<double>& pictureTimes, std::size_t i,
                                            const std::vector<double>& clicks, const std::vector<bool>& taken) {
  std::optional<std::size_t> best;
  if (i <= kMatchedSpans) return best;
  for (std::size_t c = kMatchedSpans; c < clicks.size(); ++c) {
    const double distance = std::abs(clicks[c] - pictureTimes[i]);
    if (!taken[c] && distance <= kSameSpanWindow && sameSpans(pictureTimes, i, clicks, c) &&
        (!best || distance < std::abs(clicks[*best] - pictureTimes[i]))) {
      best = c;
    }
  }
  return best;
}

// Index of the value nearest `time` in the sorted `times`; none when it is empty.
std::optional<std::size_t> nearest(const std::vector<double>& times, double time) {
  if (times.empty()) return std::nullopt;
  const auto after = std::lower_bound(times.begin(), times.end(), time);
  if (after == times.begin()) return 0;
  if (after == times.end() || time - *(after - 1) <= *after - time) return after - times.begin() - 1;
  return after - times.begin();
}

}  // namespace

std::vector<PictureChange> findPictureChanges(const std::vector<Frame>& frames) {
  std::vector<PictureChange> changes;
  for (std::size_t i = 1; i < frames.size(); ++i) {
    if (largestChannelStep(frames[i - 1].meanColor, frames[i].meanColor) > kColourJump) {
      changes.push_back({.time = (frames[i - 1].time + frames[i].time) / 2,
                         .halfGap = (frames[i].time - frames[i - 1].time) / 2,
                         .to = frames[i].meanColor});
    }
  }
  return changes;
}

double firstSampleTime(const std::vector<SoundPiece>& pieces, int sampleRate) {
  double first = std::numeric_limits<double>::infinity();
  std::size_t through = 0;
  for (const SoundPiece& piece : pieces) {
    through += piece.samples;
    first = std::min(first, piece.arrival - static_cast<double>(through) / sampleRate);
  }
  return first;
}

std::vector<double> findClicks(const Recording& recording) {
  std::vector<double> clicks;
  if (recording.pieces.empty()) return clicks;
  const double start = firstSampleTime(recording.pieces, recording.sampleRate);
  const auto gap = static_cast<std::size_t>(kClickGap * recording.sampleRate);
  std::size_t quiet = gap;  // the recording may begin with a click
  for (std::size_t i = 0; i < recording.samples.size(); ++i) {
    if (std::abs(recording.samples[i]) < kClickLevel) {
      ++quiet;
      continue;
    }
    if (quiet >= gap) clicks.push_back(start + static_cast<double>(i) / recording.sampleRate);
    quiet = 0;
  }
  return clicks;
}

SyncResult measureSync(const std::vector<PictureChange>& changes, const std::vector<double>& clicks,
                       std::vector<Mark> marks) {
  std::sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) { return a.time < b.time; });
  std::vector<double> pictureTimes;
  for (const PictureChange& change : changes) pictureTimes.push_back(change.time);
  SyncResult result;
  std::map<std::string, std::vector<double>> byKind;
  std::vector<double> offsets;
  std::vector<bool> clickPaired(clicks.size());
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SyncEvent event;
    event.pictureTime = changes[i].time;
    const auto after = std::upper_bound(marks.begin(), marks.end(), event.pictureTime,
                                        [](double time, const Mark& mark) { return time < mark.time; });
    if (after != marks.begin()) event.kind = "after " + (after - 1)->name;
    else if (i == 0) event.kind = "start";
    else event.kind = largestChannelStep(changes[i].to, changes[0].to) < kColourJump / 2 ? "wrap" : "switch";
    std::optional<std::size_t> click = clickOfSameSpans(pictureTimes, i, clicks, clickPaired);
    if (const std::optional<std::size_t> near = nearest(clicks, event.pictureTime);
        !click && near && !clickPaired[*near] && nearest(pictureTimes, clicks[*near]) == i &&
        std::abs(clicks[*near] - event.pictureTime) <= kPairWindow) {
      click = near;
    }
    if (click && 2 * changes[i].halfGap <= kLongestFrameGap) {
      event.offsetMs = (clicks[*click] - event.pictureTime) * kMillisecondsPerSecond;
      clickPaired[*click] = true;
      byKind[event.kind].push_back(*event.offsetMs);
      offsets.push_back(*event.offsetMs);
    }
    result.events.push_back(event);
  }
  for (std::size_t c = 0; c < clicks.size(); ++c) {
    if (!clickPaired[c]) result.unpairedClicks.push_back(clicks[c]);
  }
  for (const auto& [kind, kindOffsets] : byKind) result.kinds[kind] = summarise(kindOffsets);
  if (!offsets.empty()) result.all = summarise(offsets);
  if (offsets.size() >= 2 * kDriftSpan) {
    result.driftMs = median({offsets.end() - kDriftSpan, offsets.end()}) - median({offsets.begin(), offsets.begin() + kDriftSpan});
  }
  return result;
}

}  // namespace tessarine::syncmeter
