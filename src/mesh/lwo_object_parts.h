// What the LightWave object readers share, private to them: the entry points of the LWOB and
// LWO2/LWO3 readers, and the surface and clip readers of LWO2 and LWO3 with what they leave to
// be resolved once every chunk has been read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mesh/iff_form.h"
#include "mesh/lightwave_object.h"
#include "mesh/lwo_chunk.h"

namespace tessarine::mesh {

// Read the FORM's chunks into `object` (its format already set), counting what they pass by.
void readLwobChunks(IffForm& form, const unsigned char* data, const std::string& name, bool layered,
                    LightWaveObject& object, SkipCounts& skipped);
void readLwo2Chunks(IffForm& form, const unsigned char* data, const std::string& name, LightWaveObject& object,
                    SkipCounts& skipped);

// A surface whose colour image is still a CLIP index: clips may follow the surfaces.
struct PendingSurface {
  Surface surface;
  std::uint32_t clip = 0;  // 0: the colour layer names no image
  std::string clipPath;    // where the index was read, for a message
  std::uint64_t clipOffset = 0;
};

PendingSurface readLwo2Surface(LwoChunk& chunk, SkipCounts& skipped);

struct Clip {
  std::uint32_t index = 0;
  std::optional<std::string> still;  // the image path, when the clip is a still image
};

Clip readClip(LwoChunk& chunk, SkipCounts& skipped);

}  // namespace tessarine::mesh
