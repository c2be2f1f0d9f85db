// One run of tessarine-capture from its parsed options to its exit status: the show
// loaded, every planned frame drawn and written, the video finished.
#pragma once

#include <cstdio>

#include "capture/capture_options.h"

namespace tessarine::capture {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailure = 1;  // a file could not be read or written

// Says what went wrong, and the progress of long runs, on `messages`; times past the
// end of the show are refused as the command line refuses (cli::kExitUsage).
int runCapture(const CaptureOptions& options, std::FILE* messages);

}  // namespace tessarine::capture
