// What every reader fuzz target shares: the libFuzzer entry point, a scratch directory of
// its own for the object files a fuzzed scene names, and the fixtures placed there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace tessarine::fuzz {

// A directory made once per process and removed at exit, so a long campaign leaves
// nothing behind and two processes never share a file.
const std::string& scratchDirectory();

// Writes `bytes` to `name` inside the scratch directory, replacing what was there. A
// failure aborts: the harness itself is broken, not the input.
void writeScratchFile(std::string_view name, std::string_view bytes);

// Places things in the scratch directory that are no regular files, so that a name the
// input gives can lead the reader to them. Made once; a failure aborts.
void makeScratchFifo(std::string_view name);
void makeScratchDirectory(std::string_view name);

// A valid object (one triangle) and its 2 x 2 image, the fixtures a fuzzed scene can name.
std::string smallObjectBytes();
std::string smallImageBytes();

// Ends the process loudly when a reader hands back something that breaks its own promise.
[[noreturn]] void failInvariant(const char* what);

}  // namespace tessarine::fuzz
