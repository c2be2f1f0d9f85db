// Author mode's overlay: lines of bitmap text over a dark band at the top left of the
// picture, drawn with the fixed-function pipeline after the scene.
#pragma once

#include <string>
#include <vector>

namespace tessarine::app {

// Draws `lines` over what is in the back buffer. Every GL state it changes (matrices,
// lighting, fog, depth test, textures, blending, colour) is as it found it afterwards.
void drawOverlay(const std::vector<std::string>& lines);

}  // namespace tessarine::app
