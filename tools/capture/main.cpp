// tessarine-capture: the show drawn off screen, without a display, into numbered PNG
// files or an MP4 video with the music. See addOptions for the command line.
#include <cstdio>
#include <optional>

#include "capture/capture_options.h"
#include "capture/capture_run.h"
#include "cli/command_line.h"

int main(int argc, char** argv) {
  using namespace tessarine;
  capture::CaptureOptions options;
  cli::CommandLine commandLine("tessarine-capture", "");
  capture::addOptions(commandLine.app(), options);
  if (std::optional<int> status = commandLine.parse(argc, argv)) return *status;
  return capture::runCapture(options, stderr);
}
