// Reading a file whole, and running a program through the shell the way a user would,
// keeping its exit status and what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tessarine::testing {

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ProgramRun {
  int status = -1;  // -1 when killed
  std::string out, err;
};

// Runs `command` (quoted for the shell) with its two streams in files of `scratch`.
inline ProgramRun runProgram(const std::string& command, const std::filesystem::path& scratch) {
  const int raw = std::system(("(" + command + ") >'" + (scratch / "out").string() + "' 2>'" + (scratch / "err").string() + "'").c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(scratch / "out"), readFile(scratch / "err")};
}

}  // namespace tessarine::testing
