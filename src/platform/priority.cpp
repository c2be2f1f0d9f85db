// Raising the priority through getpriority, setpriority and RLIMIT_NICE: the full request
// first, then as far as the user's limit allows when the privilege is lacking.
#include "platform/priority.h"

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>

namespace tessarine::platform {

namespace {

// RLIMIT_NICE counts from this: a limit r lets the nice level go down to 20 - r.
constexpr int kNiceLimitBase = 20;
constexpr int kLowestNice = -20;
constexpr int kHighestNice = 19;

bool isLackOfPrivilege(int error) { return error == EPERM || error == EACCES; }

}  // namespace

int lowestNiceFor(std::uint64_t niceLimit) {
  // RLIM_INFINITY is the largest value, so it is capped like any limit past the range.
  std::uint64_t allowed = std::min<std::uint64_t>(niceLimit, kNiceLimitBase - kLowestNice);
  return std::clamp(kNiceLimitBase - static_cast<int>(allowed), kLowestNice, kHighestNice);
}

PriorityCalls systemPriorityCalls() {
  PriorityCalls calls;
  calls.getNice = [] { return getpriority(PRIO_PROCESS, 0); };
  calls.setNice = [](int nice) { return setpriority(PRIO_PROCESS, 0, nice); };
  calls.lowestAllowedNice = [](int& lowest) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NICE, &limit) != 0) return false;
    lowest = lowestNiceFor(limit.rlim_cur);
    return true;
  };
  return calls;
}

bool raisePriority(const PriorityCalls& calls) {
  // getpriority may legitimately return -1, so only errno tells a failure.
  errno = 0;
  int current = calls.getNice();
  if (current == -1 && errno != 0) return false;
  if (current <= kHighPriorityNice) return true;

  errno = 0;
  if (calls.setNice(kHighPriorityNice) == 0) return true;
  if (!isLackOfPrivilege(errno)) return false;

  // Without the privilege to go all the way, go as far as the user's limit allows.
  int lowest = current;
  if (!calls.lowestAllowedNice(lowest)) return true;
  int target = std::max(lowest, kHighPriorityNice);
  if (target >= current) return true;
  errno = 0;
  if (calls.setNice(target) == 0) return true;
  return isLackOfPrivilege(errno);
}

}  // namespace tessarine::platform
