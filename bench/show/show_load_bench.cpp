// Start-up cost of the generated show: reading all six scenes, their objects and images
// and making the mipmapped textures, as the player does before its first frame. The
// show must load in under a second.
#include <benchmark/benchmark.h>

#include "headless/headless_gl.h"
#include "mesh/mesh_textures.h"
#include "show/show.h"
#include "generated_show.h"
#include "showgen/storyboard.h"

namespace {

using tessarine::bench::showDirectory;

// The whole load: scenes, meshes, textures.
void BM_LoadShowWithTextures(benchmark::State& state) {
  const std::string dir = showDirectory().str();
  tessarine::headless::HeadlessGl gl(64, 64);
  for (auto _ : state) {
    tessarine::show::Show show(dir);
    show.load();
    tessarine::mesh::makeTextures(show.context().meshes);
    benchmark::DoNotOptimize(show.sceneCount());
  }
}
BENCHMARK(BM_LoadShowWithTextures)->Unit(benchmark::kMillisecond);

// The file reading alone.
void BM_ReadShowFiles(benchmark::State& state) {
  const std::string dir = showDirectory().str();
  for (auto _ : state) {
    tessarine::show::Show show(dir);
    show.load();
    benchmark::DoNotOptimize(show.sceneCount());
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
