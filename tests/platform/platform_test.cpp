#include "platform/priority.h"
#include "platform/screen_saver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "platform/platform.h"

namespace tessarine::platform {
namespace {

constexpr int kNoError = 0;
constexpr int kUnknownLimit = 99;  // lowestAllowedNice fails

struct Case {
  const char* name;
  int nice;            // what getNice returns
  int getError;        // errno left by getNice
  int firstSetError;   // errno of setNice(-10); 0: it succeeds
  int lowestAllowed;   // from RLIMIT_NICE, or kUnknownLimit
  int secondSetError;  // errno of the second setNice, if any
  bool granted;
  std::vector<int> expectedSets;
};

TEST(RaisePriorityTest, GoesAsFarAsAllowedAndFailsOnlyOnARealRefusal) {
  const Case cases[] = {
      {"granted at once", 0, kNoError, kNoError, 19, kNoError, true, {-10}},
      {"already higher", -15, kNoError, kNoError, 19, kNoError, true, {}},
      {"already there", -10, kNoError, kNoError, 19, kNoError, true, {}},
      {"-1 is a valid nice level", -1, kNoError, kNoError, 19, kNoError, true, {-10}},
      {"ordinary user, no nice limit", 0, kNoError, EACCES, 19, kNoError, true, {-10}},
      {"ordinary user, limit above current", 5, kNoError, EPERM, 10, kNoError, true, {-10}},
      {"ordinary user, limit allows -5", 0, kNoError, EPERM, -5, kNoError, true, {-10, -5}},
      {"limit beyond the target is not used", 0, kNoError, EPERM, -20, kNoError, true, {-10, -10}},
      {"limit unknown", 0, kNoError, EPERM, kUnknownLimit, kNoError, true, {-10}},
      {"second attempt lacks privilege too", 0, kNoError, EACCES, -5, EPERM, true, {-10, -5}},
      {"reading the level fails", -1, ESRCH, kNoError, 19, kNoError, false, {}},
      {"refused for another reason", 0, kNoError, EINVAL, 19, kNoError, false, {-10}},
      {"second attempt refused", 0, kNoError, EPERM, -5, ESRCH, false, {-10, -5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int> sets;
    PriorityCalls calls;
    calls.getNice = [&] {
      errno = c.getError;
      return c.nice;
    };
    calls.setNice = [&](int nice) {
      sets.push_back(nice);
      int error = sets.size() == 1 ? c.firstSetError : c.secondSetError;
      errno = error;
      return error == kNoError ? 0 : -1;
    };
    calls.lowestAllowedNice = [&](int& lowest) {
      if (c.lowestAllowed == kUnknownLimit) return false;
      lowest = c.lowestAllowed;
      return true;
    };
    EXPECT_EQ(raisePriority(calls), c.granted);
    EXPECT_EQ(sets, c.expectedSets);
  }
}

TEST(RaisePriorityTest, NiceLimitArithmetic) {
  // A limit r allows nice 20 - r, within -20 to 19; RLIM_INFINITY is all ones.
  const std::pair<std::uint64_t, int> cases[] = {{0, 19}, {1, 19}, {2, 18}, {20, 0},
                                                 {30, -10}, {40, -20}, {41, -20}, {UINT64_MAX, -20}};
  for (auto [limit, nice] : cases) EXPECT_EQ(lowestNiceFor(limit), nice) << limit;
}

TEST(ScreenSaverTest, SuspendNeedsVersionOnePointOne) {
  const std::tuple<int, int, bool> cases[] = {{0, 9, false}, {1, 0, false}, {1, 1, true}, {1, 2, true}, {2, 0, true}};
  for (auto [major, minor, can] : cases) EXPECT_EQ(versionCanSuspend(major, minor), can) << major << "." << minor;
}

// Without an X display (a console, a CI machine) there is no screen saver: the show
// must neither fail nor report one that it would later restore.
TEST(ScreenSaverTest, WithoutADisplayThereIsNoneToSuspend) {
  EXPECT_EXIT(
      {
        unsetenv("DISPLAY");
        std::unique_ptr<Platform> platform = makeSystemPlatform();
        bool active = platform->screenSaverActive();
        platform->suspendScreenSaver(true);
        platform->suspendScreenSaver(false);
        std::_Exit(active ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

// The real system calls, as an ordinary user: no privilege to raise the priority must
// still count as granted, so the show runs for everyone.
TEST(RaisePriorityTest, AnOrdinaryUserIsNotRefused) {
  constexpr uid_t kNobody = 65534;
  EXPECT_EXIT(
      {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) std::_Exit(2);
        std::_Exit(raisePriority(systemPriorityCalls()) ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tessarine::platform
