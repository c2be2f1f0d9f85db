// The camera shake: how far the view is thrown in the frame drawn at one moment, from
// numbers seeded by that moment alone. Whoever draws the moment (the player, paused or
// not, the capture, the contact sheets) sees the same picture, and no hidden generator
// is shared between them.
#pragma once

#include <array>
#include <cstdint>

namespace tessarine::render {

using ShakeOffset = std::array<float, 3>;

// A small seeded generator (SplitMix64) of fractions spread evenly from -1 to 1. Its
// whole state is its value: two sources with one seed give one sequence.
class ShakeSource {
 public:
  explicit ShakeSource(std::uint64_t seed) : state_(seed) {}
  double nextFraction();

 private:
  std::uint64_t state_;
};

// The view's offset in the frame drawn at `seconds` of the scene's clock: per axis, x
// then y then z, a fraction from the source seeded by `seconds` times amplitude x sin(50 t).
ShakeOffset shakeOffset(float amplitude, float seconds);

}  // namespace tessarine::render
