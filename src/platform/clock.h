// The demo clock: a monotonic tick count and its ticks per second.
#pragma once

#include <cstdint>

namespace tessarine::platform {

// Ticks per second of clockNow(); the same for the whole run.
std::int64_t clockFrequency();
// A monotonic reading, in ticks; unaffected by changes of the wall-clock time.
std::int64_t clockNow();

}  // namespace tessarine::platform
