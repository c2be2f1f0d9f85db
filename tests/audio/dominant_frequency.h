// The strongest whole frequency in a stretch of samples, to tell which tone was played.
#pragma once

#include <cmath>
#include <numbers>
#include <span>

namespace tessarine::audio::testing {

// Searches 100 Hz to 2 kHz in 1 Hz steps with Goertzel's recurrence.
inline int dominantHz(std::span<const double> samples, long rate) {
  constexpr int kLowestHz = 100;
  constexpr int kHighestHz = 2000;
  int best = 0;
  double bestPower = -1.0;
  for (int hz = kLowestHz; hz <= kHighestHz; ++hz) {
    double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / static_cast<double>(rate));
    double s1 = 0.0, s2 = 0.0;
    for (double x : samples) {
      double s0 = x + coefficient * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    if (power > bestPower) {
      bestPower = power;
      best = hz;
    }
  }
  return best;
}

}  // namespace tessarine::audio::testing
