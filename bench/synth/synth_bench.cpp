// How fast the soundtrack is made, as seconds of audio per second of work ("realtime"):
// rendering a full-energy bar, mastering, loudness measurement and MP3 encoding.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "synth/loudness.h"
#include "synth/mastering.h"
#include "synth/mp3_writer.h"
#include "synth/piece.h"
#include "synth/score.h"

namespace tessarine::synth {
namespace {

constexpr int kFullEnergyBar = 41;  // inside the crystal city: every voice plays
constexpr int kBars = 2;

void countRealtime(benchmark::State& state, std::size_t frames) {
  state.counters["realtime"] = benchmark::Counter(
      static_cast<double>(frames) / kSampleRate * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_RenderFullEnergy(benchmark::State& state) {
  std::size_t frames = 0;
  for (auto _ : state) {
    StereoBuffer audio = renderBars(kFullEnergyBar, kBars);
    frames = audio.frames();
    benchmark::DoNotOptimize(audio.left.data());
  }
  countRealtime(state, frames);
}
BENCHMARK(BM_RenderFullEnergy)->Unit(benchmark::kMillisecond);

void BM_Master(benchmark::State& state) {
  const StereoBuffer raw = renderBars(kFullEnergyBar, kBars);
  for (auto _ : state) {
    StereoBuffer audio = raw;
    benchmark::DoNotOptimize(master(audio));
  }
  countRealtime(state, raw.frames());
}
BENCHMARK(BM_Master)->Unit(benchmark::kMillisecond);

void BM_IntegratedLoudness(benchmark::State& state) {
  const StereoBuffer raw = renderBars(kFullEnergyBar, kBars);
  for (auto _ : state) benchmark::DoNotOptimize(integratedLoudness(raw));
  countRealtime(state, raw.frames());
}
BENCHMARK(BM_IntegratedLoudness)->Unit(benchmark::kMillisecond);

void BM_EncodeMp3(benchmark::State& state) {
  StereoBuffer audio = renderBars(kFullEnergyBar, kBars);
  master(audio);
  testing::TempDir dir;
  std::string path = (dir.path() / "bench.mp3").string();
  for (auto _ : state) writeMp3(path, audio);
  countRealtime(state, audio.frames());
}
BENCHMARK(BM_EncodeMp3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarine::synth
