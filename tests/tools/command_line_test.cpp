// Every program answers --help and --version on standard output with status 0, before it
// opens a window or reads a file, and refuses an unknown option in one shape (status 2).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace {

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

// Without a display, so a program that opened a window would fail.
ProgramRun run(const tessarine::testing::TempDir& dir, const std::string& program, const std::string& argument) {
  const std::string command = "cd '" + dir.str() + "' && env -u DISPLAY '" + program + "' " + argument + " >out 2>err";
  const int raw = std::system(command.c_str());
  ProgramRun result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, "", ""};
  for (auto [name, text] : {std::pair{"out", &result.out}, std::pair{"err", &result.err}}) {
    std::ostringstream contents;
    contents << std::ifstream(dir.path() / name).rdbuf();
    *text = contents.str();
  }
  return result;
}

TEST(CommandLineTest, EveryProgramAnswersHelpAndVersionAndRefusesTheSameWay) {
  for (std::string program : {TESSARINE_PROGRAMS}) {
    const std::string name = program.substr(program.rfind('/') + 1);
    tessarine::testing::TempDir dir;
    ProgramRun help = run(dir, program, "--help");
    EXPECT_EQ(help.status, 0) << name;
    EXPECT_NE(help.out.find("Usage: " + name + " [OPTIONS]"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
    EXPECT_EQ(help.err, "") << name;

    ProgramRun version = run(dir, program, "--version");
    EXPECT_EQ(version.status, 0) << name;
    EXPECT_EQ(version.out, name + " " TESSARINE_VERSION "\n");

    ProgramRun refused = run(dir, program, "--bogus");
    EXPECT_EQ(refused.status, 2) << name;
    // The programs that need files say so first; the message is theirs, the shape shared.
    EXPECT_TRUE(refused.err.starts_with(name + ": ")) << refused.err;
    EXPECT_TRUE(refused.err.ends_with("\nRun " + name + " --help for the options.\n")) << refused.err;
    EXPECT_EQ(refused.out, "") << name;
    // Nothing was written where the program ran but the test's own two files.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << name;
  }
}

}  // namespace
