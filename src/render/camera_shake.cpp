// The shake's generator, its seeding and its mapping from numbers to offsets.
#include "render/camera_shake.h"

#include <bit>
#include <cmath>

namespace tessarine::render {
namespace {

// The shake swings at sin(50 t); each axis takes its own fraction of the swing.
constexpr float kShakeRate = 50.0f;
// Fractions are taken about the middle of the drawn numbers' range, 0 to 2^32 - 1.
constexpr double kMiddle = 4294967295.0 / 2;
// SplitMix64's step and mixing multipliers.
constexpr std::uint64_t kGamma = 0x9E3779B97F4A7C15u;
constexpr std::uint64_t kMix1 = 0xBF58476D1CE4E5B9u;
constexpr std::uint64_t kMix2 = 0x94D049BB133111EBu;

}  // namespace

double ShakeSource::nextFraction() {
  std::uint64_t z = (state_ += kGamma);
  z = (z ^ (z >> 30)) * kMix1;
  z = (z ^ (z >> 27)) * kMix2;
  const auto drawn = static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
  return (drawn - kMiddle) / kMiddle;
}

ShakeOffset shakeOffset(float amplitude, float seconds) {
  // Seeded by the very float the frame is drawn at: a paused picture, drawn again and
  // again at one moment, stands still, and a captured frame is the same on every run.
  ShakeSource source(std::bit_cast<std::uint32_t>(seconds));
  const double s = std::sin(static_cast<double>(kShakeRate * seconds));
  ShakeOffset offset{};
  for (float& axis : offset) axis = static_cast<float>(source.nextFraction() * amplitude * s);
  return offset;
}

}  // namespace tessarine::render
