// Evaluation of LightWave 6 and later channel envelopes: the six span shapes, the tangents
// LightWave derives for them from neighbouring keys, and the six behaviours outside the keys,
// whose cycles run over the keyed span wherever its first key stands.
#include "anim/channel_envelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessarine::anim {
namespace {

using Keys = std::span<const ChannelKey>;

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
// A 2D Bezier handle closer to its key in time than this stands for a vertical tangent:
// LightWave scales its value offset by kSteepHandleSlope instead of dividing by the time.
constexpr double kShortHandleTime = 1e-5;
constexpr double kSteepHandleSlope = 1e5;
// Halvings of the curve parameter when a 2D Bezier span is solved for a time: 64 go below a
// double's resolution of [0, 1], and a fixed count ends even where the curve misses the time.
constexpr int kBezierSolveSteps = 64;

double handleSlope(double valueOffset, double timeOffset) {
  return std::abs(timeOffset) > kShortHandleTime ? valueOffset / timeOffset : valueOffset * kSteepHandleSlope;
}

// Kochanek-Bartels weights of the change before a key and of the change after it, for the
// tangent leaving the key (outgoing) or arriving at it (incoming).
struct TcbWeights {
  double before, after;
};
TcbWeights tcbWeights(const ChannelKey& k, bool outgoing) {
  const double c = outgoing ? k.continuity : -k.continuity;
  return {(1 - k.tension) * (1 + c) * (1 + k.bias), (1 - k.tension) * (1 - c) * (1 - k.bias)};
}

// The tangent leaving keys[i] along the span to keys[i + 1], as a change in value across
// that span. The start key's shape decides it, whatever the span's own shape.
double outgoing(Keys keys, std::size_t i) {
  const ChannelKey& k0 = keys[i];
  const ChannelKey& k1 = keys[i + 1];
  const double span = k1.time - k0.time;
  const double change = k1.value - k0.value;
  // Without a key before, the change before counts as nothing and the span as all there is.
  const bool hasPrevious = i > 0;
  const double before = hasPrevious ? k0.value - keys[i - 1].value : 0;
  const double share = hasPrevious ? span / (k1.time - keys[i - 1].time) : 1;
  switch (k0.shape) {
    case KeyShape::kTcb: {
      const TcbWeights w = tcbWeights(k0, true);
      return share * (w.before * before + w.after * change);
    }
    case KeyShape::kLinear: return share * (before + change);
    case KeyShape::kHermite:
    case KeyShape::kBezier: return share * k0.params[1];
    case KeyShape::kBezier2: return handleSlope(k0.params[3], k0.params[2]) * span;
    default: return 0;
  }
}

// The tangent arriving at keys[i] along the span from keys[i - 1]; the end key's shape decides.
double incoming(Keys keys, std::size_t i) {
  const ChannelKey& k0 = keys[i - 1];
  const ChannelKey& k1 = keys[i];
  const double span = k1.time - k0.time;
  const double change = k1.value - k0.value;
  const bool hasNext = i + 1 < keys.size();
  const double after = hasNext ? keys[i + 1].value - k1.value : 0;
  const double share = hasNext ? span / (keys[i + 1].time - k0.time) : 1;
  switch (k1.shape) {
    case KeyShape::kTcb: {
      const TcbWeights w = tcbWeights(k1, false);
      return share * (w.after * after + w.before * change);
    }
    case KeyShape::kLinear: return share * (after + change);
    case KeyShape::kHermite:
    case KeyShape::kBezier: return share * k1.params[0];
    case KeyShape::kBezier2: return handleSlope(k1.params[1], k1.params[0]) * span;
    default: return 0;
  }
}

double cubicBezier(double p0, double p1, double p2, double p3, double u) {
  const double v = 1 - u;
  return v * v * v * p0 + 3 * u * v * (v * p1 + u * p2) + u * u * u * p3;
}

// A 2D Bezier span is a curve in (time, value): its parameter is found for the time first.
double bezier2(const ChannelKey& k0, const ChannelKey& k1, double time) {
  const bool handled = k0.shape == KeyShape::kBezier2;
  const double outTime = k0.time + (handled ? k0.params[2] : (k1.time - k0.time) / 3);
  const double outValue = k0.value + (handled ? k0.params[3] : k0.params[1] / 3);
  double low = 0;
  double high = 1;
  for (int step = 0; step < kBezierSolveSteps; ++step) {
    const double middle = (low + high) / 2;
    const double at = cubicBezier(k0.time, outTime, k1.time + k1.params[0], k1.time, middle);
    if (at == time) {
      low = high = middle;
      break;
    }
    (at > time ? high : low) = middle;
  }
  return cubicBezier(k0.value, outValue, k1.value + k1.params[1], k1.value, (low + high) / 2);
}

// The value at a time from the first key's to the last key's.
double valueWithin(Keys keys, double time) {
  const auto end = std::lower_bound(keys.begin(), keys.end(), time,
                                    [](const ChannelKey& k, double t) { return k.time < t; });
  // At a key's own time its value stands, whatever the span's shape.
  if (end->time == time) return end->value;
  const std::size_t i = static_cast<std::size_t>(end - keys.begin());
  const ChannelKey& k0 = keys[i - 1];
  const ChannelKey& k1 = keys[i];
  const double u = (time - k0.time) / (k1.time - k0.time);
  switch (k1.shape) {
    case KeyShape::kTcb:
    case KeyShape::kHermite:
    case KeyShape::kBezier: {
      const double u2 = u * u;
      const double u3 = u2 * u;
      const double h2 = 3 * u2 - 2 * u3;
      const double h4 = u3 - u2;
      const double h3 = h4 - u2 + u;
      return (1 - h2) * k0.value + h2 * k1.value + h3 * outgoing(keys, i - 1) + h4 * incoming(keys, i);
    }
    case KeyShape::kBezier2: return bezier2(k0, k1, time);
    case KeyShape::kLinear: return k0.value + u * (k1.value - k0.value);
    case KeyShape::kStepped: return k0.value;
  }
  return 0;
}

// Where a time outside the keys falls when the keyed span repeats: the time within the span
// and the cycle it lies in (1 the first after the last key, -1 the first before the first).
// Cycles after the last key end on its time and cycles before the first begin on the first
// key's, so each end of every cycle shows what that end key shows. fmod is exact, so a time
// far out costs no more than a near one.
struct Cycle {
  double time, count;
};
Cycle cycleOf(double seconds, double first, double last) {
  const double length = last - first;
  const bool after = seconds > last;
  const double beyond = after ? seconds - last : first - seconds;
  const double within = std::fmod(beyond, length);
  const double whole = std::round((beyond - within) / length);
  if (within == 0) return {after ? last : first, after ? whole : -whole};
  const double time = std::clamp(after ? first + within : last - within, first, last);
  return {time, after ? whole + 1 : -whole - 1};
}

}  // namespace

ChannelEnvelope::ChannelEnvelope(std::vector<ChannelKey> keys, Behavior pre, Behavior post) : pre_(pre), post_(post) {
  std::erase_if(keys, [](const ChannelKey& k) { return !std::isfinite(k.time); });
  std::stable_sort(keys.begin(), keys.end(), [](const ChannelKey& a, const ChannelKey& b) { return a.time < b.time; });
  keys_.reserve(keys.size());
  for (const ChannelKey& key : keys) {
    // The sort kept keys at one time in the order given, so each overwrites the one before.
    if (!keys_.empty() && keys_.back().time == key.time) {
      keys_.back() = key;
    } else {
      keys_.push_back(key);
    }
  }
}

double ChannelEnvelope::valueAt(double seconds) const {
  if (keys_.empty()) return 0;
  if (keys_.size() == 1) return keys_.front().value;
  if (std::isnan(seconds)) return kNotANumber;
  const ChannelKey& first = keys_.front();
  const ChannelKey& last = keys_.back();
  const std::size_t lastIndex = keys_.size() - 1;
  double time = seconds;
  double offset = 0;
  if (seconds < first.time || seconds > last.time) {
    const bool before = seconds < first.time;
    const ChannelKey& edge = before ? first : last;
    const Behavior behavior = before ? pre_ : post_;
    switch (behavior) {
      case Behavior::kReset: return 0;
      case Behavior::kLinear: {
        const double slope = before ? outgoing(keys_, 0) / (keys_[1].time - first.time)
                                    : incoming(keys_, lastIndex) / (last.time - keys_[lastIndex - 1].time);
        // A level line stays level out to infinity instead of turning into 0 x infinity.
        return slope == 0 ? edge.value : edge.value + slope * (seconds - edge.time);
      }
      case Behavior::kRepeat:
      case Behavior::kOscillate:
      case Behavior::kOffsetRepeat: {
        if (!std::isfinite(seconds)) return kNotANumber;
        const Cycle cycle = cycleOf(seconds, first.time, last.time);
        time = cycle.time;
        if (behavior == Behavior::kOscillate && std::fmod(cycle.count, 2) != 0) {
          time = std::clamp(first.time + last.time - time, first.time, last.time);
        }
        if (behavior == Behavior::kOffsetRepeat) offset = cycle.count * (last.value - first.value);
        break;
      }
      case Behavior::kConstant:
      default: return edge.value;
    }
  }

  return valueWithin(keys_, time) + offset;
}

}  // namespace tessarine::anim
