// Kochanek-Bartels evaluation shared by motions (nine channels) and envelopes (one): the
// span search, Hermite weights and TCB tangents, computed once per call for all channels.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <span>

#include "anim/keyed_curve.h"

namespace tessarine::anim::detail {

// The kCount channel values at `frame`. The keys must be valid: at least one, frames
// strictly ascending (the constructors refuse anything else).
template <std::size_t kCount>
std::array<float, kCount> interpolate(std::span<const Key<kCount>> keys, float frame) {
  const Key<kCount>& first = keys.front();
  const Key<kCount>& last = keys.back();
  // A NaN or minus-infinite frame has no place on the curve; the first key stands for it.
  if (keys.size() == 1 || !(frame > -std::numeric_limits<float>::infinity())) return first.values;
  // Frame numbers and the frame are compared as exact numbers: a frame number above 2^24
  // would round if it were turned into a float.
  const double f = frame;
  // Past the last key the search would run off the array: hold the last key instead.
  if (f > static_cast<double>(last.frame)) return last.values;

  std::size_t i1 = 1;
  while (static_cast<double>(keys[i1].frame) < f) ++i1;
  const std::size_t i0 = i1 - 1;
  const Key<kCount>& k0 = keys[i0];
  const Key<kCount>& k1 = keys[i1];
  const std::array<float, kCount>& y0 = k0.values;
  const std::array<float, kCount>& y1 = k1.values;
  std::array<float, kCount> out;

  const float span = static_cast<float>(k1.frame - k0.frame);
  const double t = (f - static_cast<double>(k0.frame)) / span;

  if (k1.linear != 0) {
    for (std::size_t c = 0; c < kCount; ++c) {
      const float d = y1[c] - y0[c];
      out[c] = static_cast<float>(y0[c] + t * d);
    }
    return out;
  }

  const double t2 = t * t;
  const double t3 = t2 * t;
  const float h2 = static_cast<float>(3 * t2 - t3 - t3);
  const float h1 = 1 - h2;
  const float h4 = static_cast<float>(t3 - t2);
  const float h3 = static_cast<float>(h4 - t2 + t);

  const float a0 = (1 - k0.tension) * (1 + k0.continuity) * (1 + k0.bias);
  const float b0 = (1 - k0.tension) * (1 - k0.continuity) * (1 - k0.bias);
  const float a1 = (1 - k1.tension) * (1 - k1.continuity) * (1 + k1.bias);
  const float b1 = (1 - k1.tension) * (1 + k1.continuity) * (1 - k1.bias);

  // The file format takes a key at frame 0 to have no predecessor and one at the last
  // frame to have no successor. The index tests add the case of a first key that lies
  // after frame 0, which has no predecessor either.
  const bool hasPrevious = k0.frame != 0 && i0 > 0;
  const bool hasNext = k1.frame != last.frame && i1 + 1 < keys.size();
  const float* yp = hasPrevious ? keys[i0 - 1].values.data() : nullptr;
  const float* yn = hasNext ? keys[i1 + 1].values.data() : nullptr;
  const float adj0 = hasPrevious ? span / static_cast<float>(k1.frame - keys[i0 - 1].frame) : 0;
  const float adj1 = hasNext ? span / static_cast<float>(keys[i1 + 1].frame - k0.frame) : 0;

  for (std::size_t c = 0; c < kCount; ++c) {
    // Differences are rounded to float like the weights; tangents and sum stay in double.
    const double d = static_cast<float>(y1[c] - y0[c]);
    const double dPrevious = hasPrevious ? static_cast<float>(y0[c] - yp[c]) : 0.0f;
    const double dNext = hasNext ? static_cast<float>(yn[c] - y1[c]) : 0.0f;
    const double g0 = hasPrevious ? adj0 * (a0 * dPrevious + b0 * d) : 0.5 * (a0 + b0) * d;
    const double g1 = hasNext ? adj1 * (a1 * d + b1 * dNext) : 0.5 * (a1 + b1) * d;
    const double y = h1 * static_cast<double>(y0[c]) + h2 * static_cast<double>(y1[c]) + h3 * g0 + h4 * g1;
    out[c] = static_cast<float>(y);
  }
  return out;
}

}  // namespace tessarine::anim::detail
