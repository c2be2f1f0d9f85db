// Reading a scene of 100 objects with 100 keys each: nulls, or objects sharing one mesh
// already in the library, so the figure is the scene reader's and the motion reader's.
#include <benchmark/benchmark.h>

#include <string>

#include "scene/scene.h"
#include "support/scene_files.h"
#include "support/temp_dir.h"

namespace {

using namespace tessarine;

constexpr int kObjects = 100;
constexpr int kKeys = 100;

std::string bigScene(bool withMeshes) {
  formats::LwsMotion keyed;
  for (int key = 0; key < kKeys; ++key) {
    formats::LwsMotionKey k;
    k.values = {static_cast<float>(key), 1.5f, -2.25f, 0, 45, 0, 1, 1, 1};
    k.frame = static_cast<std::uint32_t>(key * 3);
    keyed.push_back(k);
  }
  formats::LwsScene lws;
  for (int i = 0; i < kObjects; ++i) {
    lws.objects.push_back({.objectFile = withMeshes ? "box.lwo" : "", .motion = keyed,
                           .parent = i == 0 ? std::nullopt : std::optional<std::uint32_t>(0)});
  }
  lws.camera.motion = testing::still({});
  return formats::writeLws(lws);
}

void readScene(benchmark::State& state, bool withMeshes) {
  testing::TempDir dir;
  testing::writeSquare(dir.path(), "box.lwo", {255, 255, 255});
  std::string text = bigScene(withMeshes);
  dir.write("big.lws", text);
  scene::DemoContext context(dir.str());
  for (auto _ : state) {
    scene::Scene scene(context, "big.lws", 1.0f);
    benchmark::DoNotOptimize(scene.objects.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}

void BM_ReadSceneOfNulls(benchmark::State& state) { readScene(state, false); }
void BM_ReadSceneOfSharedMeshes(benchmark::State& state) { readScene(state, true); }

BENCHMARK(BM_ReadSceneOfNulls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSceneOfSharedMeshes)->Unit(benchmark::kMillisecond);

}  // namespace
