// The progress line of a long capture on standard error: frames done, frames per second
// and the time left, rewritten in place on a terminal and every few seconds elsewhere.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace tessarine::capture {

// "frame 120 of 4320, 24.5 frames/s, 2:51 left"; the rate and the time left only once
// some time has passed.
std::string progressLine(long long done, long long total, double elapsedSeconds);

class ProgressMeter {
 public:
  using Clock = std::chrono::steady_clock;

  // Says nothing for captures that finish within a second.
  ProgressMeter(long long total, std::FILE* out);
  void frameDone();
  // Ends the line if one was written.
  void finish();

 private:
  void show(Clock::time_point now);

  long long total_;
  long long done_ = 0;
  std::FILE* out_;
  bool terminal_;
  bool shown_ = false;
  Clock::time_point start_;
  Clock::time_point lastShown_;
};

}  // namespace tessarine::capture
