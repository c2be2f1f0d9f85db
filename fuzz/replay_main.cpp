// Runs files through a fuzz target without libFuzzer, so the checked-in corpus and every
// kept regression input replay in the ordinary (and the sanitizer) test suite.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_target.h"

namespace {

namespace fs = std::filesystem;

// Each argument is a file, or a directory whose files (hidden ones aside) run in name order.
bool collectInputs(const fs::path& argument, std::vector<fs::path>& inputs) {
  std::error_code error;
  if (fs::is_regular_file(argument, error)) {
    inputs.push_back(argument);
    return true;
  }
  if (!fs::is_directory(argument, error)) return false;
  std::vector<fs::path> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(argument, error)) {
    if (entry.is_regular_file() && entry.path().filename().string().front() != '.') found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  inputs.insert(inputs.end(), found.begin(), found.end());
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!collectInputs(argv[i], inputs)) {
      std::fprintf(stderr, "No such input file or directory: %s\n", argv[i]);
      return 2;
    }
  }
  for (const fs::path& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) {
      std::fprintf(stderr, "Cannot read %s\n", input.c_str());
      return 2;
    }
    // A finding aborts inside the target, naming this file just above its report.
    std::fprintf(stderr, "Running %s\n", input.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("Replayed %zu inputs\n", inputs.size());
  return 0;
}
