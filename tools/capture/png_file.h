// Captured frames as PNG files: RGB, top row first, as a screen shows them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tessarine::capture {

// Writes `rgba` (width x height pixels, four bytes each, bottom row first as OpenGL reads
// them) to `path` as an 8-bit RGB PNG; alpha is dropped, since the screen shows colour
// alone. Throws common::Error, naming the file and the system's reason, when it cannot be
// written whole; `path` then stays as it was, and no part of the frame is left beside it.
void writePng(const std::string& path, std::span<const std::uint8_t> rgba, int width, int height);

}  // namespace tessarine::capture
