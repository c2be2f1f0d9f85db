// Reading a scene of 100 objects with 100 keys each: nulls, or objects sharing one mesh
// already in the library, so the figure is the scene reader's and the motion reader's.
#include <benchmark/benchmark.h>

#include <string>

#include "scene/scene.h"
#include "scene_text.h"
#include "support/temp_dir.h"

namespace {

using namespace tessarine;
using namespace tessarine::scene::testing;

constexpr int kObjects = 100;
constexpr int kKeys = 100;

std::string keyedMotion() {
  std::string text = "(unnamed)\n  9\n  " + std::to_string(kKeys) + "\n";
  for (int key = 0; key < kKeys; ++key) {
    text += "  " + std::to_string(key) + " 1.5 -2.25 0 45 0 1 1 1\n  " + std::to_string(key * 3) + " 0 0 0 0\n";
  }
  return text + "EndBehavior 1\n";
}

std::string bigScene(bool withMeshes) {
  std::string text = kHeader;
  std::string motionText = keyedMotion();
  for (int i = 0; i < kObjects; ++i) {
    text += withMeshes ? "LoadObject box.lwo\n" : "AddNull Null\n";
    text += objectPart(motionText, i == 0 ? -1 : 0);
  }
  return text + cameraItem();
}

void readScene(benchmark::State& state, bool withMeshes) {
  testing::TempDir dir;
  writeObject(dir, "box.lwo");
  std::string text = bigScene(withMeshes);
  dir.write("big.lws", text);
  scene::DemoContext context(dir.str(), noTexture);
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
