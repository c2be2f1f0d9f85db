// A motion's item and viewing transforms, multiplied onto the current OpenGL matrix.
#include <GL/gl.h>

#include "anim/motion.h"

namespace tessarine::anim {

void Motion::applyTransform(double seconds) {
  evaluate(frameAt(seconds, framesPerSecond_));
  const ChannelValues& v = current_;
  // Each call multiplies on the right, so a point is turned by bank, heading, pitch in
  // that order, then scaled along the parent's axes, then moved.
  glTranslatef(v[kPositionX], v[kPositionY], v[kPositionZ]);
  glScalef(v[kScaleX], v[kScaleY], v[kScaleZ]);
  glRotatef(v[kPitch], 1, 0, 0);
  glRotatef(v[kHeading], 0, 1, 0);
  glRotatef(v[kBank], 0, 0, 1);
}

void Motion::applyInverseTransform(double seconds) {
  evaluate(frameAt(seconds, framesPerSecond_));
  const ChannelValues& v = current_;
  // The angles are negated but keep the item order (pitch, heading, bank), as the shows
  // were authored against this view: an exact inverse only when one angle is non-zero.
  // A camera's scale does not reach the view.
  glRotatef(-v[kPitch], 1, 0, 0);
  glRotatef(-v[kHeading], 0, 1, 0);
  glRotatef(-v[kBank], 0, 0, 1);
  glTranslatef(-v[kPositionX], -v[kPositionY], -v[kPositionZ]);
}

}  // namespace tessarine::anim
