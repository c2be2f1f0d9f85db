// tessarine-capture: the show drawn off screen, without a display, into numbered PNG
// files or an MP4 video with the music. See kUsage for the command line.
#include <cstdio>
#include <string_view>
#include <vector>

#include "capture/capture_options.h"
#include "capture/capture_run.h"

int main(int argc, char** argv) {
  using namespace tessarine::capture;
  std::vector<std::string_view> arguments(argv + 1, argv + argc);
  ParsedOptions parsed = parseOptions(arguments);
  if (!parsed.options) {
    if (parsed.error.empty()) {
      std::fputs(kUsage, stdout);
      return kExitDone;
    }
    std::fprintf(stderr, "tessarine-capture: %s\n%s", parsed.error.c_str(), kUsage);
    return kExitUsage;
  }
  return runCapture(*parsed.options, stderr);
}
