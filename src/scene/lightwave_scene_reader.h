// Scene files as LightWave 3 to 2020 write them (LWSC 1 to 5), read into the same scene the
// show's own reader makes, placed by LightWave's transform rule.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "scene/demo_context.h"
#include "scene/scene.h"

namespace tessarine::scene {

// Reads a scene as LightWave writes it, from `text`, naming `fileName` in messages. Object names
// are kept in each SceneObject's `source` (name as written, layer for LoadObjectLayer); no file is
// opened and no mesh is loaded here (another step resolves the names and loads the meshes).
// Throws common::Error naming the file and the line for what cannot be read.
//
// Lines may come in any order within an item; lines and blocks the player has no use for are
// passed over, and what it does not play (bones, plug-ins, IK, extra cameras...) is named once
// each in `leftOut`. Parents and targets that are no object, and the link that closes a
// parent cycle, are dropped and named there too. Of more than kMaxLights lights, the ones that
// light the most at the first frame are kept, in file order.
std::unique_ptr<Scene> readLightWaveScene(DemoContext& context, std::string fileName,
                                          std::span<const std::byte> text, float nearPlane);

// True when `text` begins like a scene file ("LWSC" then a version line).
bool looksLikeLightWaveScene(std::span<const std::byte> text);

}  // namespace tessarine::scene
