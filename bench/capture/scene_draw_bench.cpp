// Drawing speed of each scene of the generated show at 1920x1080, the player's renderer
// on the software rasteriser: frames per second over every second of the scene, the
// median second and the worst, and the processor time (every thread of the rasteriser)
// per frame, which other work on the machine does not inflate as much. The pixels are
// never read back, as in the player. TESSARINE_BENCH_DATA names another data directory
// to time instead of the generated show, to compare two versions of it.
//
// "drawn/px" counts the pixels that passed the depth test per pixel of the screen, in the
// median second: above 1, something is drawn and then drawn over. "rasterised/px" counts
// the fragments the rasteriser made, with those the depth test threw away: hidden geometry
// that drawing near to far makes cheap (a rejected fragment costs about a sixth of a drawn
// one here, as depth is tested before texturing) and only leaving it out saves.
//
// The full-screen layer is the floor a scene stands on: one textured, lit, fogged, blended
// quad over the whole screen, which is what every covered pixel of a scene costs at the least.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
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
  // Outside the timing: a query may keep the rasteriser from testing depth early.
  std::vector<double> drawn, rasterised;
  GLuint queries[2] = {};
  glGenQueries(2, queries);
  for (int second = 0; second < wholeSeconds; ++second) {
    glBeginQuery(GL_SAMPLES_PASSED, queries[0]);
    glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, queries[1]);
    show.drawScene(index, second + 0.5);
    glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
    glEndQuery(GL_SAMPLES_PASSED);
    GLuint64 counts[2] = {};
    for (int i = 0; i < 2; ++i) glGetQueryObjectui64v(queries[i], GL_QUERY_RESULT, &counts[i]);
    drawn.push_back(static_cast<double>(counts[0]) / (kWidth * kHeight));
    rasterised.push_back(static_cast<double>(counts[1]) / (kWidth * kHeight));
  }
  glDeleteQueries(2, queries);
  std::sort(perSecond.begin(), perSecond.end());
  std::sort(drawn.begin(), drawn.end());
  std::sort(rasterised.begin(), rasterised.end());
  state.counters["median fps"] = perSecond[perSecond.size() / 2];
  state.counters["worst fps"] = perSecond.front();
  state.counters["cpu ms/frame"] = 1000 * processTime / (wholeSeconds * kFramesPerSceneSecond);
  state.counters["drawn/px"] = drawn[drawn.size() / 2];
  state.counters["rasterised/px"] = rasterised[rasterised.size() / 2];
  state.SetLabel(showgen::sceneFile(index));
}
BENCHMARK(BM_DrawScene)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// One quad over the whole screen in the player's render state, its 256x256 texture
// magnified (the cheaper way to sample it), cleared and drawn as a frame is.
void BM_FullScreenLayer(benchmark::State& state) {
  capture();  // the context, in the player's render state
  constexpr int kSide = 256;
  std::vector<unsigned char> texels(kSide * kSide * 3);
  for (std::size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, kSide, kSide, GL_BGR_EXT, GL_UNSIGNED_BYTE, texels.data());
  glFogf(GL_FOG_START, 0);
  glFogf(GL_FOG_END, 2);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const double processStart = processSeconds();
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Clockwise seen from the eye, so the front face.
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0);
    glVertex3f(-1, -1, -0.5f);
    glTexCoord2f(0, 0.25f);
    glVertex3f(-1, 1, -0.5f);
    glTexCoord2f(0.25f, 0.25f);
    glVertex3f(1, 1, -0.5f);
    glTexCoord2f(0.25f, 0);
    glVertex3f(1, -1, -0.5f);
    glEnd();
    glFinish();
  }
  state.counters["cpu ms/frame"] = 1000 * (processSeconds() - processStart) / static_cast<double>(state.iterations());
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  glDeleteTextures(1, &texture);
}
BENCHMARK(BM_FullScreenLayer)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
