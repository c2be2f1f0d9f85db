// The GL state every scene shares, set once on a new context, so that activating a scene
// changes only values.
#include "render/render_state.h"

#include <GL/gl.h>

namespace tessarine::render {

void setUpRenderState() {
  // The current colour stays white, so every surface's diffuse reflectance is its
  // texture, modulated by the lighting.
  glColor4f(1, 1, 1, 1);
  glEnable(GL_LIGHTING);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT, GL_DIFFUSE);
  // Item transforms may scale, so normals must be renormalised after them.
  glEnable(GL_NORMALIZE);
  glEnable(GL_FOG);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_DITHER);
  glShadeModel(GL_SMOOTH);
  // Every item's matrix mirrors z, which turns the files' winding around: their front
  // faces reach OpenGL clockwise.
  glFrontFace(GL_CW);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glPolygonMode(GL_FRONT, GL_FILL);
  // Image rows are tightly packed; 24-bit rows are rarely a multiple of four bytes.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

}  // namespace tessarine::render
