// One capture run: what can be known wrong before the long load is checked first, then
// every frame is drawn, written and counted, and any failure becomes one message.
#include "capture/capture_run.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "capture/png_file.h"
#include "capture/progress_meter.h"
#include "capture/show_capture.h"
#include "capture/video_encoder.h"
#include "cli/command_line.h"
#include "common/error.h"
#include "common/file_bytes.h"

namespace tessarine::capture {

namespace {

constexpr const char* kProgram = "tessarine-capture";

// The folder of the frame files, made when missing so "shots/%05d.png" just works.
void makeFolderFor(const std::string& file) {
  std::filesystem::path folder = std::filesystem::path(file).parent_path();
  if (folder.empty()) return;
  std::error_code ignored;  // a folder that cannot be made shows up as a file that cannot be opened
  std::filesystem::create_directories(folder, ignored);
}

std::optional<VideoEncoder> startVideo(const CaptureOptions& options, const ShowCapture& show) {
  if (!options.video) return std::nullopt;
  VideoSettings settings;
  settings.path = *options.video;
  settings.width = show.width();
  settings.height = show.height();
  settings.framesPerSecond = options.framesPerSecond;
  settings.musicFile = options.musicFile;
  settings.musicOffset = options.from;
  makeFolderFor(settings.path);
  return VideoEncoder(*findOnPath("ffmpeg"), settings);
}

// What can be known wrong before the long work of loading starts.
void checkVideoTools(const CaptureOptions& options) {
  if (!options.video) return;
  if (!findOnPath("ffmpeg")) throw common::Error("--video needs ffmpeg, and there is none on the PATH");
  // The music is found as the program finds it, relative to the working directory;
  // opening it gives the readers' own message when it is not there.
  if (!options.musicFile.empty()) common::readFileBytes(options.musicFile, "rb");
}

}  // namespace

int runCapture(const CaptureOptions& options, std::FILE* messages) {
  try {
    checkVideoTools(options);
    ShowCapture show(options.dataDirectory, options.width, options.height, options.lightWave);
    FramePlan plan = planFrames(options, show.timeline().length());
    if (!plan.error.empty()) {
      return cli::refuse(kProgram, plan.error.c_str(), messages);
    }
    if (options.out && !plan.numbers.empty()) makeFolderFor(options.out->format(plan.numbers.front()));
    std::optional<VideoEncoder> video = startVideo(options, show);
    ProgressMeter progress(static_cast<long long>(plan.times.size()), messages);
    for (std::size_t i = 0; i < plan.times.size(); ++i) {
      show.draw(plan.times[i]);
      const std::vector<std::uint8_t> pixels = show.readPixels();
      if (options.out) writePng(options.out->format(plan.numbers[i]), pixels, show.width(), show.height());
      if (video) video->writeFrame(pixels);
      progress.frameDone();
    }
    progress.finish();
    if (video) video->finish();
  } catch (const std::exception& failure) {
    std::fprintf(messages, "%s: %s\n", kProgram, failure.what());
    return kExitFailure;
  }
  return kExitDone;
}

}  // namespace tessarine::capture
