// tessarine-showgen: writes the whole show (six scene files, their objects and images)
// into the data directory given on the command line.
#include <cstdio>
#include <exception>

#include "showgen/storyboard.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DATA_DIRECTORY\n", argv[0]);
    return 2;
  }
  try {
    tessarine::showgen::buildShow().writeTo(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessarine-showgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
