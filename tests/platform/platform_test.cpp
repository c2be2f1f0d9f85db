// The platform's system side: raising the priority against calls that answer as told and
// as an ordinary user, the screen saver without a display, the lost display, the directory watch.
#include "platform/directory_watch.h"
#include "platform/lost_display.h"
#include "platform/priority.h"
#include "platform/screen_saver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace tessarine::platform {
namespace {

constexpr int kUnknownLimit = 99;  // lowestAllowedNice fails

TEST(RaisePriorityTest, GoesAsFarAsAllowedAndFailsOnlyOnARealRefusal) {
  struct Case {
    const char* name;
    int nice, getError;  // what getNice returns, and the errno it leaves
    int firstSetError;   // errno of setNice(-10); 0: it succeeds
    int lowestAllowed;   // from RLIMIT_NICE, or kUnknownLimit
    int secondSetError;  // errno of the second setNice, if any
    bool granted;
    std::vector<int> expectedSets;
  } cases[] = {
      {"granted at once", 0, 0, 0, 19, 0, true, {-10}},
      {"already there or higher", -10, 0, 0, 19, 0, true, {}},
      {"ordinary user, limit at the current level", 5, 0, EACCES, 5, 0, true, {-10}},
      {"ordinary user, limit allows -5", 0, 0, EPERM, -5, 0, true, {-10, -5}},
      {"limit beyond the target is not used", 0, 0, EPERM, -20, 0, true, {-10, -10}},
      {"second attempt lacks privilege too", 0, 0, EACCES, -5, EPERM, true, {-10, -5}},
      {"reading the level fails", -1, ESRCH, 0, 19, 0, false, {}},
      {"refused for another reason", 0, 0, EINVAL, 19, 0, false, {-10}},
      {"second attempt refused", 0, 0, EPERM, -5, ESRCH, false, {-10, -5}},
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
      const int error = sets.size() == 1 ? c.firstSetError : c.secondSetError;
      errno = error;
      return error == 0 ? 0 : -1;
    };
    calls.lowestAllowedNice = [&](int& lowest) {
      lowest = c.lowestAllowed;
      return c.lowestAllowed != kUnknownLimit;
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

// Releasing after the display is lost may meet the lost server again on another
// connection: still one line, one release, and a lost display's status.
TEST(LostDisplayTest, EndsTheProgramWithOneLine) {
  EXPECT_EXIT(
      {
        int releases = 0;
        endOnLostDisplay([&] {
          std::fprintf(stderr, "released %d\n", ++releases);
          displayLost(":7");
        });
        displayLost(":7");
      },
      ::testing::ExitedWithCode(kLostDisplayStatus), "^tessarine: lost the display :7; the show ends\nreleased 1\n$");
}

// Real inotify events against the test's own clock, so nothing waits: a change is
// reported once, half a second after the last write seen. A directory removed, or
// replaced by a rename, is looked for a few times a second; its return is a change.
TEST(PlatformTest, ADirectoryWatchReportsOnceTheChangesHaveSettled) {
  tessarine::testing::TempDir dir;
  EXPECT_FALSE(DirectoryWatch(dir.str() + "/missing", 0.5).watching());
  const std::string data = dir.str() + "/Data";
  dir.write("Data/S1.lws", "LWSC");
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> messages(std::tmpfile(), &std::fclose);
  DirectoryWatch watch(data, 0.5, messages.get());
  ASSERT_TRUE(watch.watching());
  EXPECT_FALSE(watch.settled(10));  // nothing has changed
  dir.write("Data/S1.lws", "LWSC");
  EXPECT_FALSE(watch.settled(20));  // seen now
  dir.write("Data/S1.lws", "LWSC\n1");
  EXPECT_FALSE(watch.settled(20.25));  // seen again, so it starts over
  EXPECT_FALSE(watch.settled(20.5));
  EXPECT_TRUE(watch.settled(20.75));
  EXPECT_FALSE(watch.settled(30));  // once
  std::filesystem::remove_all(data);
  EXPECT_FALSE(watch.settled(40));
  EXPECT_FALSE(watch.settled(41));  // long settled, but there is nothing to read
  dir.write("Data/S1.lws", "LWSC");
  EXPECT_FALSE(watch.settled(41.1));  // not looked for again so soon
  EXPECT_FALSE(watch.settled(41.3));
  EXPECT_FALSE(watch.settled(41.7));
  EXPECT_TRUE(watch.settled(41.8));
  dir.write("New/S1.lws", "LWSC");
  std::filesystem::rename(data, dir.str() + "/Old");
  std::filesystem::rename(dir.str() + "/New", data);
  EXPECT_FALSE(watch.settled(50));
  EXPECT_TRUE(watch.settled(50.5));
  dir.write("Old/S1.lws", "LWSC");  // no longer the one at the path
  EXPECT_FALSE(watch.settled(55));
  EXPECT_FALSE(watch.settled(55.5));
  dir.write("Data/S2.lws", "LWSC");
  EXPECT_FALSE(watch.settled(60));
  EXPECT_TRUE(watch.settled(60.5));
  std::filesystem::remove_all(data);
  std::filesystem::create_directory_symlink("Data", data);  // a loop: it cannot be watched
  EXPECT_FALSE(watch.settled(70));
  EXPECT_FALSE(watch.watching());
  std::string text(1024, '\0');
  std::rewind(messages.get());
  text.resize(std::fread(text.data(), 1, text.size(), messages.get()));
  const std::string gone = "tessarine: --watch: {dir}/Data is gone; watching for it again\n";
  const std::string back = "tessarine: --watch: watching {dir}/Data again\n";
  EXPECT_EQ(text, dir.expand(gone + back + gone + back + gone +
                             "tessarine: --watch: stopped watching {dir}/Data: Too many levels of symbolic links\n"));
}

}  // namespace
}  // namespace tessarine::platform
