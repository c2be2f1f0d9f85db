// Show time: one clock from 0 at the start of the first scene through every scene of the
// play list in order, each lasting from its start time to its end time; and where in
// which scene a moment of show time falls, by the frame loop's switching rule.
#pragma once

#include <cstddef>
#include <vector>

namespace tessarine::show {

struct SceneSpan {
  double startTime = 0;  // seconds of the scene's own clock
  double endTime = 0;
};

struct ShowPosition {
  std::size_t scene = 0;  // index in the play list
  double sceneTime = 0;   // the scene's own clock, as the renderer is given it
};

class ShowTimeline {
 public:
  // At least one span, every time finite; throws common::Error otherwise. A scene whose
  // end is not after its start takes no show time.
  explicit ShowTimeline(std::vector<SceneSpan> spans);

  std::size_t sceneCount() const { return spans_.size(); }
  // Seconds from the first scene's start to the last one's end.
  double length() const { return offsets_.back(); }
  // Show time at which scene `index` takes over.
  double startOf(std::size_t index) const { return offsets_.at(index); }
  double endOf(std::size_t index) const { return offsets_.at(index + 1); }

  // The scene drawn at `showTime` (0 to length()): the frame loop moves on only once its
  // scene's clock is strictly past the end time, so a boundary belongs to the scene that
  // ends there. Past the last scene's end the last scene is kept.
  ShowPosition locate(double showTime) const;

 private:
  std::vector<SceneSpan> spans_;
  std::vector<double> offsets_;  // show time of each scene's start, then the show's end
};

}  // namespace tessarine::show
