// tessarine-showshot: draws frames of a generated show off screen into PNG files, for
// looking at a show without a display: DATA_DIRECTORY OUTPUT_DIRECTORY [STEP_SECONDS].
// Each scene gives one contact sheet, its frames four to a row.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "capture/png_file.h"
#include "capture/show_capture.h"
#include "cli/command_line.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr int kSheetColumns = 4;
// Every frame of a sheet is held in memory; a smaller step would ask for more than a machine has.
constexpr double kMinStepSeconds = 0.01;

}  // namespace

int main(int argc, char** argv) {
  std::string dataDirectory, outputDirectory;
  double step = 2.0;
  tessarine::cli::CommandLine commandLine(
      "tessarine-showshot",
      "Draws frames of a generated show off screen, one contact sheet per scene, its frames four to a row.");
  CLI::App& app = commandLine.app();
  app.add_option("DATA_DIRECTORY", dataDirectory, "The show's scenes, objects and images")->type_name("DIR")->required();
  app.add_option("OUTPUT_DIRECTORY", outputDirectory, "The folder the sheets are written to")
      ->type_name("DIR")
      ->required();
  app.add_option("STEP_SECONDS", step, "Seconds between the frames of a sheet")
      ->type_name("SECONDS")
      ->capture_default_str()
      ->check(tessarine::cli::number("seconds from 0.01 up", [](double seconds) { return seconds >= kMinStepSeconds; }));
  if (std::optional<int> status = commandLine.parse(argc, argv)) return *status;
  try {
    std::filesystem::create_directories(outputDirectory);
    tessarine::capture::ShowCapture player(dataDirectory, kWidth, kHeight);
    for (std::size_t i = 0; i < player.show().sceneCount(); ++i) {
      tessarine::scene::Scene& scene = player.scene(i);
      std::vector<std::vector<std::uint8_t>> frames;
      for (double t = scene.startTime; t <= scene.endTime; t += step) {
        player.drawScene(i, t);
        frames.push_back(player.readPixels());
      }
      int rows = static_cast<int>((frames.size() + kSheetColumns - 1) / kSheetColumns);
      int sheetWidth = kWidth * kSheetColumns, sheetHeight = kHeight * rows;
      std::vector<std::uint8_t> sheet(static_cast<std::size_t>(sheetWidth) * sheetHeight * 4, 0);
      for (std::size_t f = 0; f < frames.size(); ++f) {
        // Sheet rows are bottom first like the frames, so the first frame goes to the top.
        int column = static_cast<int>(f % kSheetColumns), row = rows - 1 - static_cast<int>(f / kSheetColumns);
        for (int y = 0; y < kHeight; ++y) {
          std::copy_n(frames[f].begin() + static_cast<std::ptrdiff_t>(y) * kWidth * 4, kWidth * 4,
                      sheet.begin() + (static_cast<std::ptrdiff_t>(row * kHeight + y) * sheetWidth + column * kWidth) * 4);
        }
      }
      const std::string& name = scene.fileName;
      tessarine::capture::writePng(outputDirectory + "/" + name.substr(0, name.find('.')) + ".png", sheet, sheetWidth,
                                   sheetHeight);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessarine-showshot: %s\n", e.what());
    return 1;
  }
  return 0;
}
