// Builds the inspection document from loaded scenes, evaluating them as the renderer does.
#include "scene_report/report_document.h"

#include <GL/gl.h>

#include <array>
#include <limits>

#include "scene_report/json_writer.h"
#include "render/placement.h"
#include "render/projection.h"

namespace tessarine::inspect {
namespace {

using scene::Scene;
using scene::SceneLight;
using scene::SceneObject;


// The value in force at `seconds`: the envelope's when there is one, else the plain one.
std::optional<float> valueAt(const std::unique_ptr<anim::Envelope>& envelope, std::optional<float> plain,
                             double seconds) {
  if (envelope) return envelope->valueAt(seconds);
  return plain;
}

void writeChannels(JsonWriter& json, const anim::Motion& motion, double seconds) {
  json.numbers(motion.valueAt(seconds));
}

void writeLightRecord(JsonWriter& json, const SceneLight& light) {
  json.beginObject();
  json.key("glLight");
  json.integer(std::int64_t{light.glLight});
  json.key("lightType");
  json.integer(std::int64_t{light.lightType});
  json.key("color");
  json.numbers(light.color);
  json.key("intensity");
  json.number(light.intensity);
  json.key("intensityEnvelope");
  json.boolean(light.intensityEnvelope != nullptr);
  json.key("coneAngle");
  json.number(light.coneAngle);
  json.key("coneEnvelope");
  json.boolean(light.coneEnvelope != nullptr);
  json.key("parentIndex");
  json.integer(std::int64_t{light.parentIndex});
  json.key("keyCount");
  json.integer(std::int64_t{light.motion.keyCount()});
  json.endObject();
}

// The renderer receives the time as a float; everything here is evaluated at that float.
void writeAt(JsonWriter& json, Scene& scene, double requested) {
  const double seconds = static_cast<float>(requested);
  json.beginObject();
  json.key("time");
  json.number(static_cast<float>(seconds));
  json.key("camera");
  writeChannels(json, *scene.camera.motion, seconds);
  json.key("objects");
  json.beginArray();
  for (SceneObject& object : scene.objects) writeChannels(json, *object.motion, seconds);
  json.endArray();
  json.key("lights");
  json.beginArray();
  for (SceneLight& light : scene.lights) writeChannels(json, light.motion, seconds);
  json.endArray();

  std::optional<float> zoom = valueAt(scene.camera.zoomEnvelope, scene.camera.zoomFactor, seconds);
  json.key("zoom");
  json.number(zoom);
  json.key("fovy");
  json.number(zoom ? std::optional<float>(render::fieldOfView(*zoom)) : std::nullopt);
  json.key("fogMin");
  json.number(valueAt(scene.fogMinEnvelope, scene.effectiveFogMinDistance(), seconds));
  json.key("fogMax");
  json.number(valueAt(scene.fogMaxEnvelope, scene.effectiveFogMaxDistance(), seconds));
  json.key("ambientIntensity");
  json.number(valueAt(scene.ambientIntensityEnvelope, scene.ambientIntensity, seconds));
  json.key("shakeAmplitude");
  json.number(valueAt(scene.shakeEnvelope, scene.shakeAmplitude, seconds));
  json.key("lightIntensity");
  json.beginArray();
  for (const SceneLight& light : scene.lights) json.number(valueAt(light.intensityEnvelope, light.intensity, seconds));
  json.endArray();
  json.key("coneAngle");
  json.beginArray();
  for (const SceneLight& light : scene.lights) json.number(valueAt(light.coneEnvelope, light.coneAngle, seconds));
  json.endArray();

  // Placed without shake, so the matrices depend on the file alone.
  scene.shakeOffset = {0, 0, 0};
  render::Placement placement;
  placement.update(scene, seconds);
  json.key("modelview");
  json.beginObject();
  json.key("objects");
  json.beginArray();
  for (std::size_t i = 0; i < scene.objects.size(); ++i) json.numbers(placement.objectModelview(i).m);
  json.endArray();
  json.key("lights");
  json.beginArray();
  for (const SceneLight& light : scene.lights) json.numbers(placement.lightModelview(light, seconds).m);
  json.endArray();
  json.endObject();
  json.endObject();
}

void writeScene(JsonWriter& json, Scene& scene, std::span<const double> times) {
  json.beginObject();
  json.key("file");
  json.string(scene.fileName);
  json.key("firstFrame");
  json.integer(scene.firstFrame);
  json.key("lastFrame");
  json.integer(scene.lastFrame);
  json.key("framesPerSecond");
  json.number(scene.framesPerSecond);
  json.key("startTime");
  json.number(scene.startTime);
  json.key("endTime");
  json.number(scene.endTime);
  json.key("ambientColor");
  scene.ambientColor ? json.numbers(*scene.ambientColor) : json.null();
  json.key("ambientIntensity");
  json.number(scene.ambientIntensity);
  json.key("ambientIntensityEnvelope");
  json.boolean(scene.ambientIntensityEnvelope != nullptr);
  json.key("fogMinDistance");
  json.number(scene.fogMinDistance);
  json.key("fogMinEnvelope");
  json.boolean(scene.fogMinEnvelope != nullptr);
  json.key("fogMaxDistance");
  json.number(scene.fogMaxDistance);
  json.key("fogMaxEnvelope");
  json.boolean(scene.fogMaxEnvelope != nullptr);
  json.key("fogColor");
  scene.fogColor ? json.numbers(*scene.fogColor) : json.null();
  json.key("backdropColor");
  scene.backdropColor ? json.numbers(*scene.backdropColor) : json.null();
  json.key("shakeAmplitude");
  json.number(scene.shakeAmplitude);
  json.key("shakeEnvelope");
  json.boolean(scene.shakeEnvelope != nullptr);
  json.key("nearPlane");
  json.number(scene.nearPlane);

  json.key("camera");
  json.beginObject();
  json.key("parentIndex");
  json.integer(std::int64_t{scene.camera.parentIndex});
  json.key("zoomFactor");
  json.number(scene.camera.zoomFactor);
  json.key("zoomEnvelope");
  json.boolean(scene.camera.zoomEnvelope != nullptr);
  json.key("keyCount");
  json.integer(std::int64_t{scene.camera.motion->keyCount()});
  json.endObject();

  json.key("objects");
  json.beginArray();
  for (const SceneObject& object : scene.objects) {
    json.beginObject();
    json.key("mesh");
    object.mesh != nullptr ? json.string(object.mesh->name()) : json.null();
    json.key("parentIndex");
    json.integer(std::int64_t{object.parentIndex});
    json.key("keyCount");
    json.integer(std::int64_t{object.motion->keyCount()});
    json.endObject();
  }
  json.endArray();

  json.key("lights");
  json.beginArray();
  for (const SceneLight& light : scene.lights) writeLightRecord(json, light);
  json.endArray();

  json.key("at");
  json.beginArray();
  for (double seconds : times) writeAt(json, scene, seconds);
  json.endArray();
  json.endObject();
}

void writeBounds(JsonWriter& json, const mesh::Mesh& mesh) {
  if (mesh.pointCount() == 0) return json.null();
  std::array<float, 3> low{}, high{};
  low.fill(std::numeric_limits<float>::infinity());
  high.fill(-std::numeric_limits<float>::infinity());
  for (const mesh::Point& point : mesh.points()) {
    std::array<float, 3> p{point.x, point.y, point.z};
    for (int i = 0; i < 3; ++i) {
      if (p[i] < low[i]) low[i] = p[i];
      if (p[i] > high[i]) high[i] = p[i];
    }
  }
  json.beginArray();
  json.numbers(low);
  json.numbers(high);
  json.endArray();
}

// Level 0 as the GL holds it, which is what the mipmap builder made of the image.
void writeTextureSize(JsonWriter& json, const mesh::Texture& texture) {
  if (texture.id() == 0) return json.null();
  GLint width = 0, height = 0;
  glBindTexture(GL_TEXTURE_2D, texture.id());
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  json.beginObject();
  json.key("width");
  json.integer(std::int64_t{width});
  json.key("height");
  json.integer(std::int64_t{height});
  json.endObject();
}

void writeMesh(JsonWriter& json, const mesh::Mesh& mesh) {
  json.beginObject();
  json.key("name");
  json.string(mesh.name());
  json.key("pointCount");
  json.integer(std::int64_t{mesh.pointCount()});
  json.key("polygonCount");
  json.integer(std::int64_t{mesh.polygonCount()});
  json.key("bounds");
  writeBounds(json, mesh);
  json.key("firstNormal");
  mesh.polygons().empty() ? json.null() : json.numbers(mesh.polygons().front().normal);
  json.key("texture");
  writeTextureSize(json, mesh.texture());
  json.endObject();
}

}  // namespace

std::string inspectDocument(std::span<const std::unique_ptr<Scene>> scenes, const scene::DemoContext& context,
                            std::span<const double> times) {
  JsonWriter json;
  json.beginObject();
  json.key("scenes");
  json.beginArray();
  for (const std::unique_ptr<Scene>& scene : scenes) writeScene(json, *scene, times);
  json.endArray();
  json.key("meshes");
  json.beginArray();
  for (const std::unique_ptr<mesh::Mesh>& mesh : context.meshes) writeMesh(json, *mesh);
  json.endArray();
  json.endObject();
  return json.text();
}

}  // namespace tessarine::inspect
