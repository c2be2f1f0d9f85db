// tessarine-showshot: draws frames of a generated show off screen into PNG files, for
// looking at a show without a display: DATA_DIRECTORY OUTPUT_DIRECTORY [STEP_SECONDS].
// Each scene gives one contact sheet, its frames four to a row.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "capture/png_file.h"
#include "capture/show_capture.h"
#include "common/error.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr int kSheetColumns = 4;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: %s DATA_DIRECTORY OUTPUT_DIRECTORY [STEP_SECONDS]\n", argv[0]);
    return 2;
  }
  try {
    double step = argc == 4 ? std::stod(argv[3]) : 2.0;
    if (!(step > 0)) throw tessarine::common::Error("STEP_SECONDS must be above 0");
    std::filesystem::create_directories(argv[2]);
    tessarine::capture::ShowCapture player(argv[1], kWidth, kHeight);
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
      tessarine::capture::writePng(argv[2] + ("/" + name.substr(0, name.find('.')) + ".png"), sheet, sheetWidth, sheetHeight);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessarine-showshot: %s\n", e.what());
    return 1;
  }
  return 0;
}
