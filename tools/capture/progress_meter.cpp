// The capture's progress line: quiet for the first second, then rewritten in place on a
// terminal and written as a new line now and then in a log.
#include "capture/progress_meter.h"

#include <unistd.h>

#include <cmath>

namespace tessarine::capture {

namespace {

constexpr double kQuietSeconds = 1.0;
// A terminal line is rewritten in place, so often is cheap; a log gets a line now and then.
constexpr double kTerminalInterval = 0.5;
constexpr double kLogInterval = 10.0;
constexpr int kSecondsPerMinute = 60;

double secondsBetween(ProgressMeter::Clock::time_point from, ProgressMeter::Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

}  // namespace

std::string progressLine(long long done, long long total, double elapsedSeconds) {
  std::string line = "frame " + std::to_string(done) + " of " + std::to_string(total);
  if (done <= 0 || !(elapsedSeconds > 0)) return line;
  const double rate = static_cast<double>(done) / elapsedSeconds;
  const long long left = std::llround(static_cast<double>(total - done) / rate);
  char text[64];
  std::snprintf(text, sizeof text, ", %.1f frames/s, %lld:%02lld left", rate, left / kSecondsPerMinute,
                left % kSecondsPerMinute);
  return line + text;
}

ProgressMeter::ProgressMeter(long long total, std::FILE* out)
    : total_(total), out_(out), terminal_(isatty(fileno(out)) == 1), start_(Clock::now()), lastShown_(start_) {}

void ProgressMeter::frameDone() {
  ++done_;
  const Clock::time_point now = Clock::now();
  if (secondsBetween(start_, now) < kQuietSeconds) return;
  if (shown_ && secondsBetween(lastShown_, now) < (terminal_ ? kTerminalInterval : kLogInterval)) return;
  show(now);
}

void ProgressMeter::finish() {
  if (!shown_) return;
  show(Clock::now());
  if (terminal_) std::fputc('\n', out_);
  std::fflush(out_);
}

void ProgressMeter::show(Clock::time_point now) {
  const std::string line = progressLine(done_, total_, secondsBetween(start_, now));
  if (terminal_) {
    // Clears what a longer previous line left behind.
    std::fprintf(out_, "\r%s\x1b[K", line.c_str());
  } else {
    std::fprintf(out_, "%s\n", line.c_str());
  }
  std::fflush(out_);
  shown_ = true;
  lastShown_ = now;
}

}  // namespace tessarine::capture
