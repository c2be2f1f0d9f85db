// The show's slow curves, as keys at bars of the timeline joined by straight lines. Two
// keys at one bar make a step, which only ever happens on a scene change.
#include "synth/automation.h"

#include <array>
#include <span>

#include "timeline/timeline.h"

namespace tessarine::synth {
namespace {

namespace tl = tessarine::timeline;

struct Key {
  double bar;
  double value;
};

// Bar `offset` of scene `scene`.
constexpr double at(std::size_t scene, double offset) { return tl::firstBarOf(scene) + offset; }

constexpr std::size_t kArrival = 0, kHypercube = 1, kTerrain = 2, kCrystalCity = 3, kVertigo = 4, kUnfolding = 5;

// The intro starts from nothing: the pad swells over its first bars.
constexpr std::array<Key, 9> kPad = {{
    {0, 0.0}, {at(kArrival, 4), 1.0}, {at(kHypercube, 0), 0.85}, {at(kTerrain, 0), 1.0},
    {at(kCrystalCity, 0), 0.85}, {at(kUnfolding, 0), 0.9}, {at(kUnfolding, 8), 0.9},
    {at(kUnfolding, 13), 0.0}, {tl::totalBars(), 0.0},
}};

constexpr std::array<Key, 12> kPadCutoff = {{
    {0, 300}, {at(kHypercube, 0), 1800}, {at(kTerrain, 0), 2500}, {at(kTerrain, 0), 700},
    {at(kCrystalCity, 0), 4000}, {at(kCrystalCity, 0), 3000}, {at(kVertigo, 0), 3000},
    {at(kVertigo, 0), 4000}, {at(kUnfolding, 0), 4000}, {at(kUnfolding, 0), 3000},
    {at(kUnfolding, 12), 500}, {tl::totalBars(), 500},
}};

constexpr std::array<Key, 8> kArp = {{
    {at(kArrival, 4), 0.0}, {at(kHypercube, 0), 1.0}, {at(kTerrain, 0), 1.0}, {at(kTerrain, 6), 0.0},
    {at(kCrystalCity, 0), 1.0}, {at(kUnfolding, 0), 1.0}, {at(kUnfolding, 10), 0.0}, {tl::totalBars(), 0.0},
}};

constexpr std::array<Key, 10> kArpBrightness = {{
    {at(kArrival, 4), 0.3}, {at(kHypercube, 0), 1.0}, {at(kTerrain, 0), 1.5}, {at(kTerrain, 0), 0.8},
    {at(kCrystalCity, 0), 1.5}, {at(kVertigo, 0), 1.5}, {at(kVertigo, 0), 2.0}, {at(kUnfolding, 0), 2.0},
    {at(kUnfolding, 10), 0.3}, {tl::totalBars(), 0.3},
}};

constexpr std::array<Key, 10> kReverb = {{
    {0, 0.5}, {at(kHypercube, 0), 0.5}, {at(kHypercube, 0), 0.35}, {at(kTerrain, 0), 0.35},
    {at(kTerrain, 0), 0.6}, {at(kCrystalCity, 0), 0.6}, {at(kCrystalCity, 0), 0.3}, {at(kUnfolding, 0), 0.3},
    {at(kUnfolding, 0), 0.5}, {tl::totalBars(), 0.5},
}};

double curve(std::span<const Key> keys, double bar) {
  std::size_t last = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].bar <= bar) last = i;
  }
  if (bar <= keys[0].bar) return keys[0].value;
  if (last + 1 == keys.size()) return keys[last].value;
  const Key& a = keys[last];
  const Key& b = keys[last + 1];
  return a.value + (b.value - a.value) * (bar - a.bar) / (b.bar - a.bar);
}

}  // namespace

MixLevels mixLevelsAt(double bar) {
  MixLevels levels;
  levels.pad = static_cast<float>(curve(kPad, bar));
  levels.padCutoff = curve(kPadCutoff, bar);
  levels.arp = static_cast<float>(curve(kArp, bar));
  levels.arpBrightness = curve(kArpBrightness, bar);
  levels.reverb = static_cast<float>(curve(kReverb, bar));
  return levels;
}

}  // namespace tessarine::synth
