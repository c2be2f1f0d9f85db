// The inspection tool's JSON document of objects as LightWave writes them: format, layers,
// counts, bounds, surfaces and the images they use, found under the content folders.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace tessarine::inspect {

struct LightWaveReport {
  std::string document;
  std::vector<std::string> warnings;  // one line per image missing or unreadable, each said once
};

// Reads each object whole and finds its images under `contentFolders`, searched in order; none
// given: the object's folder and each folder above it up to the root, since content keeps
// Objects/ and Images/ side by side. Throws common::Error naming the first object that is no
// LightWave object or cannot be read whole.
LightWaveReport lightWaveDocument(std::span<const std::string> objectFiles, std::span<const std::string> contentFolders);

}  // namespace tessarine::inspect
