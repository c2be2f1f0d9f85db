// Raising the process priority towards a high nice level, within the user's limits.
#pragma once

#include <cstdint>
#include <functional>

namespace tessarine::platform {

// The nice level the show asks for; an ordinary user gets what RLIMIT_NICE allows.
inline constexpr int kHighPriorityNice = -10;

// The system calls the request makes, replaceable by tests. Each failing call leaves
// its reason in errno.
struct PriorityCalls {
  std::function<int()> getNice;            // -1 with errno set on failure
  std::function<int(int nice)> setNice;    // 0, or -1 with errno set
  std::function<bool(int& lowest)> lowestAllowedNice;  // from RLIMIT_NICE; false if unknown
};

PriorityCalls systemPriorityCalls();

// The lowest nice level an RLIMIT_NICE of `niceLimit` allows (RLIM_INFINITY included).
int lowestNiceFor(std::uint64_t niceLimit);

// Moves the process to kHighPriorityNice or, without the privilege for that, to the
// lowest nice level RLIMIT_NICE allows. A lack of privilege is not a failure (the show
// must run for an ordinary user); false only when a call fails for another reason.
bool raisePriority(const PriorityCalls& calls);

}  // namespace tessarine::platform
