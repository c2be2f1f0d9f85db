// The inspection tool's JSON document: what the reader made of each scene, the values in
// force at chosen times with every item's modelview, and the shared mesh library.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "scene/demo_context.h"
#include "scene/scene.h"

namespace tessarine::inspect {

// Needs the GL context the meshes were loaded with to be current: matrices and texture
// sizes are read back from it. Evaluating rewrites the motions' current values.
std::string inspectDocument(std::span<const std::unique_ptr<scene::Scene>> scenes, const scene::DemoContext& context,
                            std::span<const double> times);

}  // namespace tessarine::inspect
