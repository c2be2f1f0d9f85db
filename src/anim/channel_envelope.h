// One channel of a LightWave 6 and later envelope: keys at times in seconds, each with the
// shape of the span that ends at it, and what the channel does before its first key and
// after its last. Evaluated as LightWave evaluates it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tessarine::anim {

// The shape of the span that ends at a key, numbered as scene files number them.
enum class KeyShape : std::uint8_t { kTcb = 0, kHermite = 1, kBezier = 2, kLinear = 3, kStepped = 4, kBezier2 = 5 };
inline constexpr std::uint32_t kKeyShapeCount = 6;

// What the channel does before its first key (pre) or after its last (post), numbered as
// scene files number them.
enum class Behavior : std::uint8_t {
  kReset = 0,         // the value 0
  kConstant = 1,      // the first (last) key's value
  kRepeat = 2,        // the keyed span again and again
  kOscillate = 3,     // the keyed span forwards, then backwards
  kOffsetRepeat = 4,  // repeated, each cycle moved by the span's change in value
  kLinear = 5,        // the line through the end key, along the curve's tangent there
};
inline constexpr std::uint32_t kBehaviorCount = 6;

struct ChannelKey {
  double time = 0;  // seconds
  double value = 0;
  KeyShape shape = KeyShape::kTcb;
  double tension = 0;
  double continuity = 0;
  double bias = 0;
  // Hermite and 1D Bezier: the incoming and outgoing tangents, each a change in value across
  // its span (not per second), scaled by the span's share of the key's two spans where the key
  // has a neighbour beyond the span. Scene files write them for keys of the other shapes too,
  // and a 2D Bezier span that starts at a key of another shape puts its outgoing handle a
  // third of the way along the span, a third of params[1] from the key's value.
  // 2D Bezier: the incoming handle's time (seconds) and value offsets from the key, then the
  // outgoing handle's.
  std::array<double, 4> params{};
};

class ChannelEnvelope {
 public:
  // No keys: the value 0 at every time.
  ChannelEnvelope() = default;
  // Keys in any order: kept sorted by time, and of keys at the same time the last given
  // stands. A key whose time is not a finite number has no place on the curve and is dropped.
  ChannelEnvelope(std::vector<ChannelKey> keys, Behavior pre, Behavior post);

  // One key gives its value at every time, whatever the behaviours (as LightWave does).
  // A time that is not a number gives NaN, and so does an infinite one where the channel
  // repeats. A behaviour outside the enumeration acts as kConstant; a span whose end key has
  // a shape outside it gives 0, as LightWave's code does.
  double valueAt(double seconds) const;

  std::span<const ChannelKey> keys() const { return keys_; }
  Behavior pre() const { return pre_; }
  Behavior post() const { return post_; }

 private:
  std::vector<ChannelKey> keys_;
  Behavior pre_ = Behavior::kConstant;
  Behavior post_ = Behavior::kConstant;
};

}  // namespace tessarine::anim
