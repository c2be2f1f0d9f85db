// Cost of one nine-channel motion evaluation at random frames, by key count.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "anim/keyed_curve.h"

namespace tessarine::anim {
namespace {

constexpr std::uint32_t kFramesPerKey = 15;
constexpr std::size_t kFrameSamples = 4096;  // a power of two, indexed by mask

Motion makeMotion(std::uint32_t keyCount, std::mt19937& random) {
  std::uniform_real_distribution<float> value(-100, 100);
  std::uniform_real_distribution<float> factor(-0.5f, 0.5f);
  std::vector<MotionKey> keys(keyCount);
  for (std::uint32_t i = 0; i < keyCount; ++i) {
    for (float& v : keys[i].values) v = value(random);
    keys[i].tension = factor(random);
    keys[i].continuity = factor(random);
    keys[i].bias = factor(random);
    keys[i].frame = i * kFramesPerKey;
  }
  return Motion(std::move(keys), 30);
}

void evaluateAtRandomFrames(benchmark::State& state) {
  std::mt19937 random(7);
  Motion motion = makeMotion(static_cast<std::uint32_t>(state.range(0)), random);
  std::uniform_real_distribution<float> frame(0, static_cast<float>(motion.lastFrame()));
  std::vector<float> frames(kFrameSamples);
  for (float& f : frames) f = frame(random);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(motion.evaluate(frames[i++ & (kFrameSamples - 1)]));
  }
}
BENCHMARK(evaluateAtRandomFrames)->Arg(2)->Arg(10)->Arg(100);

}  // namespace
}  // namespace tessarine::anim
