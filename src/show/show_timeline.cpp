// Show time over the play list's scenes: each scene's start as an offset, and a moment
// placed in its scene by the frame loop's own switching test.
#include "show/show_timeline.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/error.h"

namespace tessarine::show {

ShowTimeline::ShowTimeline(std::vector<SceneSpan> spans) : spans_(std::move(spans)) {
  if (spans_.empty()) throw common::Error("The show has no scenes");
  offsets_.reserve(spans_.size() + 1);
  double offset = 0;
  offsets_.push_back(offset);
  for (const SceneSpan& span : spans_) {
    if (!std::isfinite(span.startTime) || !std::isfinite(span.endTime)) {
      throw common::Error("A scene of the show has no finite start or end time");
    }
    offset += std::max(0.0, span.endTime - span.startTime);
    offsets_.push_back(offset);
  }
  if (!std::isfinite(offset)) throw common::Error("The show is too long to play");
}

ShowPosition ShowTimeline::locate(double showTime) const {
  std::size_t index = 0;
  // The same test as the frame loop's, on the scene's own clock, so that a time on a
  // boundary goes to the same scene as it would on screen.
  while (index + 1 < spans_.size() && spans_[index].startTime + (showTime - offsets_[index]) > spans_[index].endTime) {
    ++index;
  }
  return {index, spans_[index].startTime + (showTime - offsets_[index])};
}

}  // namespace tessarine::show
