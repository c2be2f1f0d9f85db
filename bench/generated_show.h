// The show as the generator writes it, written once per benchmark program into a folder
// of its own, so a benchmark times the real show.
#pragma once

#include "showgen/storyboard.h"
#include "support/temp_dir.h"

namespace tessarine::bench {

inline const testing::TempDir& showDirectory() {
  static const testing::TempDir dir;
  static const bool written = (showgen::buildShow().writeTo(dir.str()), true);
  (void)written;
  return dir;
}

}  // namespace tessarine::bench
