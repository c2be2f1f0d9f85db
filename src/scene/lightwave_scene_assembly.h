// Builds the scene from what the LightWave scene reader gathered: LightWave's defaults for
// what the file left out, parents and targets resolved, the camera and the lights chosen.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "scene/demo_context.h"
#include "scene/lightwave_scene_records.h"
#include "scene/scene.h"

namespace tessarine::scene::lightwave {

std::unique_ptr<Scene> buildScene(DemoContext& context, std::string fileName, float nearPlane, SceneRecord record);

// Of lights with these brightnesses, the indices of the kMaxLights brightest (the earlier of
// equals first), in file order.
std::vector<std::size_t> chooseLights(std::span<const double> brightness);

}  // namespace tessarine::scene::lightwave
