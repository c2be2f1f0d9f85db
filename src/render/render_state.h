// The OpenGL state that holds for the whole run: lighting with colour tracking, linear
// fog, alpha blending, depth test, modulated 2D textures, clockwise front faces.
#pragma once

namespace tessarine::render {

// Sets the fixed state once; needs a current GL context. Scenes change only values
// (lights, fog distances and colours, ambient light, matrices) after this.
void setUpRenderState();

}  // namespace tessarine::render
