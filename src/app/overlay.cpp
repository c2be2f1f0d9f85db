// The overlay drawn with the state it changes pushed and popped, so the scene's fixed
// render state is the same in the next frame.
#include "app/overlay.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>

namespace tessarine::app {
namespace {

// GLUT_BITMAP_8_BY_13's glyphs, with a pixel between the lines.
constexpr int kLineHeight = 14;
constexpr int kGlyphWidth = 8;
constexpr int kMargin = 6;
constexpr GLfloat kBandOpacity = 0.6f;

}  // namespace

void drawOverlay(const std::vector<std::string>& lines) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const int height = viewport[3];
  std::size_t longest = 0;
  for (const std::string& line : lines) longest = std::max(longest, line.size());

  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_FOG_BIT |
               GL_LIGHTING_BIT | GL_TEXTURE_BIT | GL_POLYGON_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glDisable(GL_ALPHA_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // One unit a pixel, y upwards from the bottom of the viewport.
  glOrtho(0, viewport[2], 0, height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, kBandOpacity);
  glRecti(0, height, static_cast<int>(longest) * kGlyphWidth + 2 * kMargin,
          height - static_cast<int>(lines.size()) * kLineHeight - 2 * kMargin);
  glDisable(GL_BLEND);
  glColor3f(1.0f, 1.0f, 0.75f);
  int baseline = height - kMargin - kLineHeight + 3;
  for (const std::string& line : lines) {
    glRasterPos2i(kMargin, baseline);
    glutBitmapString(GLUT_BITMAP_8_BY_13, reinterpret_cast<const unsigned char*>(line.c_str()));
    baseline -= kLineHeight;
  }

  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}

}  // namespace tessarine::app
