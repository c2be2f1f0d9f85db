// The demo clock on the steady clock in nanoseconds, so a change of the wall-clock time
// never moves the show.
#include "platform/clock.h"

#include <chrono>
#include <ratio>

namespace tessarine::platform {

using Clock = std::chrono::steady_clock;
using Ticks = std::chrono::nanoseconds;

std::int64_t clockFrequency() { return std::nano::den; }

std::int64_t clockNow() {
  return std::chrono::duration_cast<Ticks>(Clock::now().time_since_epoch()).count();
}

}  // namespace tessarine::platform
