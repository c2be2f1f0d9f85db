// Keys from functions of time: any placement or value sampled every few frames into
// spline keys, still motions, beat pulses, and the angles that aim an item.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "formats/lws_writer.h"
#include "showgen/vec.h"

namespace tessarine::showgen {

// Where an item is at one moment, in the channels of a motion key.
struct Placement {
  Vec3 position;
  double heading = 0;  // degrees, about y
  double pitch = 0;    // degrees, about x
  double bank = 0;     // degrees, about z
  Vec3 scale{1, 1, 1};
};

formats::LwsMotionKey keyOf(const Placement& placement, std::uint32_t frame);

// Keys at frames 0, step, 2 step, ... and always at `lastFrame`, each the placement at
// that frame's time in seconds. Angles are unwrapped, so a turn through 180 degrees
// does not spin the long way round between two keys.
formats::LwsMotion sampleMotion(const std::function<Placement(double seconds)>& at, std::uint32_t lastFrame,
                                std::uint32_t step, double framesPerSecond);
// One key at frame 0: an item that never moves.
formats::LwsMotion stillMotion(const Placement& placement);
// The same for a single value.
formats::LwsEnvelope sampleEnvelope(const std::function<double(double seconds)>& at, std::uint32_t lastFrame,
                                    std::uint32_t step, double framesPerSecond);

// Shifts each angle of the keys by whole turns so that it moves less than half a turn
// from one key to the next.
void unwrapAngles(formats::LwsMotion& motion);

// Straight-line keys through (frame, value) points (frames ascending, the first 0).
formats::LwsEnvelope linearEnvelope(const std::vector<std::pair<std::uint32_t, double>>& points);

// A value that rests at `base` and jumps to a peak at each (frame, peak) pulse, falling
// back to `base` in a straight line over `decayFrames`. Straight spans, so nothing
// overshoots. Pulses must be in ascending frame order; the envelope ends at `lastFrame`.
formats::LwsEnvelope pulseEnvelope(const std::vector<std::pair<std::uint32_t, double>>& pulses, double base,
                                   std::uint32_t decayFrames, std::uint32_t lastFrame);

// The frames of the accent beats of scene `sceneIndex` of the timeline.
std::vector<std::uint32_t> accentFrames(std::size_t sceneIndex);
// The frames of every beat of scene `sceneIndex`.
std::vector<std::uint32_t> beatFrames(std::size_t sceneIndex);

struct Angles {
  double heading = 0;
  double pitch = 0;
};
// Heading and pitch that turn a camera to look along `direction`. The player builds a
// camera's view as pitch, then heading, then the position, which for these two angles
// is the exact inverse: the camera looks along (cos p sin h, -sin p, cos p cos h).
Angles aimAngles(const Vec3& direction);

// Heading and bank that turn an item's +y axis to point along `direction`, the item
// being placed by bank, then heading (no pitch): +y goes to
// (-sin b cos h, cos b, sin b sin h). Poor only near the y axis itself.
struct AxisAngles {
  double heading = 0;
  double bank = 0;
};
AxisAngles alignYAxis(const Vec3& direction);

}  // namespace tessarine::showgen
