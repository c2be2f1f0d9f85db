// Start-up cost of the generated show: reading all six scenes, their objects and images
// and making the mipmapped textures, as the player does before its first frame. The
// show must load in under a second.
#include <benchmark/benchmark.h>

#include "showgen/show_player.h"
#include "showgen/storyboard.h"
#include "support/temp_dir.h"

namespace {

const tessarine::testing::TempDir& showDirectory() {
  static const tessarine::testing::TempDir dir;
  static const bool written = (tessarine::showgen::buildShow().writeTo(dir.str()), true);
  (void)written;
  return dir;
}

// The whole start-up: context, render state, scenes, meshes, textures.
void BM_LoadShowWithTextures(benchmark::State& state) {
  const std::string dir = showDirectory().str();
  for (auto _ : state) {
    tessarine::showgen::ShowPlayer player(dir, 64, 64);
    benchmark::DoNotOptimize(player.sceneCount());
  }
}
BENCHMARK(BM_LoadShowWithTextures)->Unit(benchmark::kMillisecond);

// The file reading alone.
void BM_ReadShowFiles(benchmark::State& state) {
  const std::string dir = showDirectory().str();
  for (auto _ : state) {
    tessarine::showgen::LoadedShow show = tessarine::showgen::loadShowWithoutTextures(dir);
    benchmark::DoNotOptimize(show.scenes.size());
  }
}
BENCHMARK(BM_ReadShowFiles)->Unit(benchmark::kMillisecond);

// Generating the show, which the build does once.
void BM_GenerateShow(benchmark::State& state) {
  for (auto _ : state) {
    tessarine::showgen::Show show = tessarine::showgen::buildShow();
    benchmark::DoNotOptimize(show.objects().size());
  }
}
BENCHMARK(BM_GenerateShow)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
