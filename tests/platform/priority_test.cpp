#include "platform/priority.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

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
