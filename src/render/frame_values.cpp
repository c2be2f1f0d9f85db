// The one rule for a value that may change per frame: the envelope's value at the moment
// when the file gave an envelope, else the plain number (or the scene's default where the
// file left the setting out). It belongs to the renderer's module, not the scene reader's:
// the reader only keeps what the file says, and how a frame is drawn is the renderer's
// business. It needs no GL context, so activation and the renderer (which load the values
// into OpenGL) and the inspection tool (which reports them) take the same function and
// cannot disagree about what is in force.
//
// The shake amplitude comes from the scene file's "FocalDistance" line, a number or an
// envelope, which the player takes for nothing else: the scene reader keeps it as the
// amplitude A (0 when the line is missing or holds no number), and the renderer moves the
// view, before the camera's own turn, by A sin(50 t) times a fraction from -1 to 1 drawn
// per axis.
#include "render/frame_values.h"

#include <algorithm>

namespace tessarine::render {
namespace {

// A zoom the scene reader always supplies; this only keeps the projection defined.
constexpr float kDefaultZoom = 1.0f;

std::optional<float> valueAt(const std::unique_ptr<anim::ValueEnvelope>& envelope, std::optional<float> plain,
                             double seconds) {
  return envelope ? std::optional<float>(envelope->valueAt(seconds)) : plain;
}

// The reader has multiplied a plain intensity into the colour already; an enveloped one
// multiplies the bare colour here.
scene::Color4 lit(const scene::Color4& color, const std::unique_ptr<anim::ValueEnvelope>& envelope,
                  std::optional<float> intensity) {
  if (!envelope) return color;
  const float i = *intensity;
  return {i * color[0], i * color[1], i * color[2], 1};
}

}  // namespace

FrameValues frameValues(const scene::Scene& scene, double seconds) {
  FrameValues values;
  values.ambientIntensity = valueAt(scene.ambientIntensityEnvelope, scene.ambientIntensity, seconds);
  values.ambientColor = lit(scene.effectiveAmbientColor(), scene.ambientIntensityEnvelope, values.ambientIntensity);
  values.fogMinDistance = *valueAt(scene.fogMinEnvelope, scene.effectiveFogMinDistance(), seconds);
  values.fogMaxDistance = *valueAt(scene.fogMaxEnvelope, scene.effectiveFogMaxDistance(), seconds);
  values.zoom = valueAt(scene.camera.zoomEnvelope, scene.camera.zoomFactor, seconds).value_or(kDefaultZoom);
  values.shakeAmplitude = *valueAt(scene.shakeEnvelope, scene.shakeAmplitude, seconds);
  // The reader refuses a light beyond the last one OpenGL has.
  values.lightCount = std::min<std::size_t>(scene.lights.size(), scene::kMaxLights);
  for (std::size_t i = 0; i < values.lightCount; ++i) {
    const scene::SceneLight& light = scene.lights[i];
    LightValues& v = values.lightValues[i];
    v.intensity = valueAt(light.intensityEnvelope, light.intensity, seconds);
    v.diffuse = lit(light.color, light.intensityEnvelope, v.intensity);
    v.coneAngle = valueAt(light.coneEnvelope, light.coneAngle, seconds);
  }
  return values;
}

}  // namespace tessarine::render
