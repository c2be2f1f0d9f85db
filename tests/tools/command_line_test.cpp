// Every program answers --help and --version on standard output with status 0, before it
// opens a window or reads a file, and refuses an unknown option in one shape (status 2).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/program_run.h"
#include "support/temp_dir.h"

namespace {

TEST(CommandLineTest, EveryProgramAnswersHelpAndVersionAndRefusesTheSameWay) {
  for (std::string program : {TESSARINE_PROGRAMS}) {
    const std::string name = program.substr(program.rfind('/') + 1);
    tessarine::testing::TempDir dir;
    // Status, standard output and standard error, run without a display, so that a
    // program that opened a window would fail.
    auto run = [&](const std::string& argument) {
      auto [status, out, err] = tessarine::testing::runProgram("cd '" + dir.str() + "' && env -u DISPLAY '" + program + "' " + argument, dir.path());
      return std::tuple{status, out, err};
    };
    auto [helpStatus, help, helpErr] = run("--help");
    EXPECT_EQ(helpStatus, 0) << name;
    EXPECT_NE(help.find("Usage: " + name + " [OPTIONS]"), std::string::npos) << help;
    EXPECT_NE(help.find("--version"), std::string::npos) << help;
    EXPECT_EQ(helpErr, "") << name;
    EXPECT_EQ(run("--version"), std::tuple(0, name + " " TESSARINE_VERSION "\n", std::string()));
    auto [refusedStatus, refusedOut, refused] = run("--bogus");
    EXPECT_EQ(std::tie(refusedStatus, refusedOut), std::tuple(2, "")) << name;
    // The programs that need files say so first; the message is theirs, the shape shared.
    EXPECT_TRUE(refused.starts_with(name + ": ")) << refused;
    EXPECT_TRUE(refused.ends_with("\nRun " + name + " --help for the options.\n")) << refused;
    // Nothing was written where the program ran but the test's own two files.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << name;
  }
}

}  // namespace
