// A mesh made from an object as LightWave writes it, with its surfaces and their images.
#pragma once

#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "mesh/mesh.h"

namespace tessarine::mesh {

// Reads the object at `path`, builds its surface batches and reads each image its surfaces name
// once, found under `contentFolders` (none: the object's folder and those above it). An image
// missing or unreadable leaves its surfaces their plain colour and writes one line naming it and
// where it was looked for on `messages` (when not null). Touches no GL. Throws common::Error
// naming the file when the object cannot be read.
std::unique_ptr<Mesh> loadLightWaveMesh(const std::string& path, std::span<const std::string> contentFolders,
                                        std::FILE* messages);

}  // namespace tessarine::mesh
