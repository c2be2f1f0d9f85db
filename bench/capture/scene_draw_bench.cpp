// Drawing speed of each scene of the generated show at 1920x1080, the player's renderer
// on the software rasteriser: frames per second over every second of the scene, the
// median second and the worst, and the processor time (every thread of the rasteriser)
// per frame, which other work on the machine does not inflate as much. The pixels are
// never read back, as in the player. TESSARINE_BENCH_DATA names another data directory
// to time instead of the generated show, to compare two versions of it.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "capture/show_capture.h"
#include "generated_show.h"
#include "showgen/storyboard.h"

namespace {

using tessarine::bench::showDirectory;

using namespace tessarine;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
// Frames drawn per second of scene time: enough to find a slow second, few enough that
// the whole show is timed in a couple of minutes.
constexpr int kFramesPerSceneSecond = 6;

capture::ShowCapture& capture() {
  const char* other = std::getenv("TESSARINE_BENCH_DATA");
  static capture::ShowCapture show(other != nullptr ? std::string(other) : showDirectory().str(), kWidth, kHeight);
  return show;
}

double processSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// One iteration walks the whole scene; the counters are of its last walk.
void BM_DrawScene(benchmark::State& state) {
  const std::size_t index = static_cast<std::size_t>(state.range(0));
  capture::ShowCapture& show = capture();
  const double seconds = showgen::secondsOf(index);
  const int wholeSeconds = static_cast<int>(seconds);
  std::vector<double> perSecond;
  double processTime = 0;
  for (auto _ : state) {
    perSecond.clear();
    const double processStart = processSeconds();
    for (int second = 0; second < wholeSeconds; ++second) {
      const Clock::time_point start = Clock::now();
      for (int frame = 0; frame < kFramesPerSceneSecond; ++frame) {
        show.drawScene(index, second + static_cast<double>(frame) / kFramesPerSceneSecond);
      }
      const double spent = std::chrono::duration<double>(Clock::now() - start).count();
      perSecond.push_back(kFramesPerSceneSecond / spent);
    }
    processTime = processSeconds() - processStart;
  }
  std::sort(perSecond.begin(), perSecond.end());
  state.counters["median fps"] = perSecond[perSecond.size() / 2];
  state.counters["worst fps"] = perSecond.front();
  state.counters["cpu ms/frame"] = 1000 * processTime / (wholeSeconds * kFramesPerSceneSecond);
  state.SetLabel(showgen::sceneFile(index));
}
BENCHMARK(BM_DrawScene)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
