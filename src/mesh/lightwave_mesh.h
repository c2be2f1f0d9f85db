// A mesh made from an object as LightWave writes it, with its surfaces and their images.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "mesh/mesh.h"

namespace tessarine::mesh {

// Reads the object at `path`, builds its surface batches and reads each image its surfaces name
// once, found under `contentFolders` (none: the object's folder and those above it). An image
// missing or unreadable leaves its surfaces their plain colour and writes one line naming it and
// where it was looked for on `messages` (when not null). Touches no GL. Throws common::Error
// naming the file when the object cannot be read. With `layer`, only that layer's polygons are
// drawn: the layer a scene numbers from 1 (the file's layer numbered one less, else the layer in
// that place in the file); a layer the object lacks is refused.
std::unique_ptr<Mesh> loadLightWaveMesh(const std::string& path, std::span<const std::string> contentFolders,
                                        std::FILE* messages, std::optional<std::uint32_t> layer = {});

}  // namespace tessarine::mesh
