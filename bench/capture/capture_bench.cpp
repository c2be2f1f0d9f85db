// Capture speed of the generated show at 1280x720: frames per second through to PNG
// files and through to ffmpeg, and the share of each frame's time spent drawing,
// reading the pixels back and encoding them.
#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>

#include "capture/png_file.h"
#include "capture/show_capture.h"
#include "capture/video_encoder.h"
#include "generated_show.h"
#include "showgen/storyboard.h"

namespace {

using tessarine::bench::showDirectory;

using namespace tessarine;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr double kFramesPerSecond = 30;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Times every part of a frame; the frames walk through the show a thirtieth of a second
// apart, so every scene and its switches are in the mix.
class FrameTimer {
 public:
  explicit FrameTimer(capture::ShowCapture& show) : show_(show) {}

  std::vector<std::uint8_t> drawAndRead() {
    Clock::time_point start = Clock::now();
    show_.draw(showTime_);
    drawing_ += secondsSince(start);
    start = Clock::now();
    std::vector<std::uint8_t> pixels = show_.readPixels();
    reading_ += secondsSince(start);
    showTime_ += 1 / kFramesPerSecond;
    if (showTime_ > show_.timeline().length()) showTime_ = 0;
    return pixels;
  }

  template <typename Encode>
  void encode(Encode&& encode) {
    const Clock::time_point start = Clock::now();
    encode();
    encoding_ += secondsSince(start);
  }

  void report(benchmark::State& state) const {
    const double total = drawing_ + reading_ + encoding_;
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["drawing"] = drawing_ / total;
    state.counters["reading"] = reading_ / total;
    state.counters["encoding"] = encoding_ / total;
  }

 private:
  capture::ShowCapture& show_;
  double showTime_ = 0;
  double drawing_ = 0;
  double reading_ = 0;
  double encoding_ = 0;
};

void BM_CaptureToPng(benchmark::State& state) {
  capture::ShowCapture show(showDirectory().str(), kWidth, kHeight);
  testing::TempDir out;
  const std::string path = (out.path() / "frame.png").string();
  FrameTimer timer(show);
  for (auto _ : state) {
    std::vector<std::uint8_t> pixels = timer.drawAndRead();
    timer.encode([&] { capture::writePng(path, pixels, kWidth, kHeight); });
  }
  timer.report(state);
}
BENCHMARK(BM_CaptureToPng)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

// The encoder runs in ffmpeg beside the capture; "encoding" is the time spent waiting
// for it to take a frame.
void BM_CaptureToVideo(benchmark::State& state) {
  std::optional<std::string> ffmpeg = capture::findOnPath("ffmpeg");
  if (!ffmpeg) {
    state.SkipWithError("no ffmpeg on the PATH");
    return;
  }
  testing::TempDir out;
  // The music is a stand-in: a file of silence made by ffmpeg itself.
  const std::string music = (out.path() / "silence.mp3").string();
  const std::string make = *ffmpeg + " -loglevel error -f lavfi -i anullsrc=r=44100:cl=stereo -t 600 '" + music + "'";
  if (std::system(make.c_str()) != 0) {
    state.SkipWithError("ffmpeg could not make the music");
    return;
  }
  capture::ShowCapture show(showDirectory().str(), kWidth, kHeight);
  capture::VideoSettings settings{(out.path() / "show.mp4").string(), kWidth, kHeight, kFramesPerSecond, music, 0};
  capture::VideoEncoder video(*ffmpeg, settings);
  FrameTimer timer(show);
  for (auto _ : state) {
    std::vector<std::uint8_t> pixels = timer.drawAndRead();
    timer.encode([&] { video.writeFrame(pixels); });
  }
  // The tail of the encoding is left out of the frames' time.
  video.finish();
  timer.report(state);
}
BENCHMARK(BM_CaptureToVideo)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

}  // namespace
