// Builds the inspection document from loaded scenes, evaluating them as the renderer does.
#include "scene_report/report_document.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <utility>

#include "render/camera_shake.h"
#include "render/frame_values.h"
#include "render/placement.h"
#include "render/projection.h"
#include "scene_report/report_json.h"

namespace tessarine::inspect {
namespace {

using scene::Scene;
using scene::SceneLight;
using scene::SceneObject;
// The overload below would hide the shared ones from the calls in this file.
using inspect::numbers;

template <std::size_t N>
Json numbers(const std::optional<std::array<float, N>>& values) {
  return values ? numbers(*values) : Json(nullptr);
}

Json channels(const anim::ItemMotion& motion, double seconds) { return numbers(motion.valueAt(seconds)); }

Json lightRecord(const SceneLight& light) {
  return {{"glLight", light.glLight},
          {"lightType", light.lightType},
          {"color", numbers(light.color)},
          {"intensity", number(light.intensity)},
          {"intensityEnvelope", light.intensityEnvelope != nullptr},
          {"coneAngle", number(light.coneAngle)},
          {"coneEnvelope", light.coneEnvelope != nullptr},
          {"parentIndex", light.parentIndex},
          {"keyCount", light.motion.keyCount()}};
}

// The renderer receives the time as a float; everything here is evaluated at that float.
// A time beyond the largest float is held at the largest float of its sign, the furthest
// the renderer can be told, so the time reported is always a number.
Json valuesAt(const Scene& scene, double requested) {
  constexpr double kLatest = std::numeric_limits<float>::max();
  const double seconds = static_cast<float>(std::clamp(requested, -kLatest, kLatest));
  Json at = {{"time", number(static_cast<float>(seconds))}, {"camera", channels(*scene.camera.motion, seconds)}};
  Json objects = Json::array(), lights = Json::array();
  for (const SceneObject& object : scene.objects) objects.push_back(channels(*object.motion, seconds));
  for (const SceneLight& light : scene.lights) lights.push_back(channels(light.motion, seconds));
  at["objects"] = std::move(objects);
  at["lights"] = std::move(lights);

  const render::FrameValues values = render::frameValues(scene, seconds);
  at["zoom"] = number(values.zoom);
  at["fovy"] = number(scene.rule == scene::TransformRule::kLightWave ? render::lightWaveFieldOfView(values.zoom)
                                                                     : render::fieldOfView(values.zoom));
  at["fogMin"] = number(values.fogMinDistance);
  at["fogMax"] = number(values.fogMaxDistance);
  at["ambientIntensity"] = number(values.ambientIntensity);
  at["shakeAmplitude"] = number(values.shakeAmplitude);
  // The offset the renderer throws the view by at this moment; the matrices below leave
  // it out, so that they depend on the file alone.
  at["shakeOffset"] = numbers(render::shakeOffset(values.shakeAmplitude, static_cast<float>(seconds)));
  Json intensities = Json::array(), cones = Json::array();
  for (const render::LightValues& light : values.lights()) {
    intensities.push_back(number(light.intensity));
    cones.push_back(number(light.coneAngle));
  }
  at["lightIntensity"] = std::move(intensities);
  at["coneAngle"] = std::move(cones);

  render::Placement placement;
  placement.update(scene, seconds, {});
  Json placedObjects = Json::array(), placedLights = Json::array();
  for (std::size_t i = 0; i < scene.objects.size(); ++i) placedObjects.push_back(numbers(placement.objectModelview(i).m));
  for (const SceneLight& light : scene.lights) placedLights.push_back(numbers(placement.lightModelview(light, seconds).m));
  at["modelview"] = {{"objects", std::move(placedObjects)}, {"lights", std::move(placedLights)}};
  return at;
}

Json sceneRecord(const Scene& scene, std::span<const double> times) {
  Json record = {{"file", scene.fileName},
                 {"firstFrame", scene.firstFrame ? Json(*scene.firstFrame) : Json(nullptr)},
                 {"lastFrame", scene.lastFrame ? Json(*scene.lastFrame) : Json(nullptr)},
                 {"framesPerSecond", number(scene.framesPerSecond)},
                 {"startTime", scene.startTime},
                 {"endTime", scene.endTime},
                 {"ambientColor", numbers(scene.ambientColor)},
                 {"ambientIntensity", number(scene.ambientIntensity)},
                 {"ambientIntensityEnvelope", scene.ambientIntensityEnvelope != nullptr},
                 {"fogMinDistance", number(scene.fogMinDistance)},
                 {"fogMinEnvelope", scene.fogMinEnvelope != nullptr},
                 {"fogMaxDistance", number(scene.fogMaxDistance)},
                 {"fogMaxEnvelope", scene.fogMaxEnvelope != nullptr},
                 {"fogColor", numbers(scene.fogColor)},
                 {"backdropColor", numbers(scene.backdropColor)},
                 {"shakeAmplitude", number(scene.shakeAmplitude)},
                 {"shakeEnvelope", scene.shakeEnvelope != nullptr},
                 {"nearPlane", number(scene.nearPlane)}};
  record["camera"] = {{"parentIndex", scene.camera.parentIndex},
                      {"zoomFactor", number(scene.camera.zoomFactor)},
                      {"zoomEnvelope", scene.camera.zoomEnvelope != nullptr},
                      {"keyCount", scene.camera.motion->keyCount()}};
  const bool lightWave = scene.rule == scene::TransformRule::kLightWave;
  auto text = [](const std::optional<std::string>& value) { return value ? Json(*value) : Json(nullptr); };
  Json objects = Json::array(), lights = Json::array(), at = Json::array();
  for (const SceneObject& object : scene.objects) {
    Json entry = {{"mesh", object.mesh != nullptr ? Json(object.mesh->name()) : Json(nullptr)},
                  {"parentIndex", object.parentIndex},
                  {"keyCount", object.motion->keyCount()}};
    if (lightWave) {
      entry["name"] = object.source.name;
      entry["file"] = text(object.source.file);
      entry["missing"] = text(object.source.missing);
      entry["pivot"] = numbers(object.pivot);
      entry["targetIndex"] = object.targetIndex;
    }
    objects.push_back(std::move(entry));
  }
  for (const SceneLight& light : scene.lights) {
    lights.push_back(lightRecord(light));
    if (lightWave) lights.back()["name"] = light.name;
  }
  if (lightWave) {
    record["version"] = scene.version;
    record["camera"]["targetIndex"] = scene.camera.targetIndex;
    record["lightsLeftOut"] = scene.lightsLeftOut;
    record["leftOut"] = scene.leftOut;
  }
  for (double seconds : times) at.push_back(valuesAt(scene, seconds));
  record["objects"] = std::move(objects);
  record["lights"] = std::move(lights);
  record["at"] = std::move(at);
  return record;
}

// Level 0 as the GL holds it, which is what the mipmap builder made of the image.
Json textureSize(const mesh::Texture& texture) {
  if (texture.id() == 0) return nullptr;
  GLint width = 0, height = 0;
  glBindTexture(GL_TEXTURE_2D, texture.id());
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  return {{"width", width}, {"height", height}};
}

Json meshRecord(const mesh::Mesh& mesh) {
  return {{"name", mesh.name()},
          {"pointCount", mesh.pointCount()},
          {"polygonCount", mesh.polygonCount()},
          {"bounds", bounds(mesh.points())},
          {"firstNormal", mesh.polygons().empty() ? Json(nullptr) : numbers(mesh.polygons().front().normal)},
          {"texture", textureSize(mesh.texture())}};
}

}  // namespace

std::string inspectDocument(show::Show& show, std::span<const double> times) {
  Json records = Json::array(), meshes = Json::array();
  for (std::size_t i = 0; i < show.sceneCount(); ++i) records.push_back(sceneRecord(show.scene(i), times));
  for (const std::unique_ptr<mesh::Mesh>& mesh : show.context().meshes) meshes.push_back(meshRecord(*mesh));
  const Json document = {{"scenes", std::move(records)}, {"meshes", std::move(meshes)}};
  // File and object names come from the files as bytes; any that are not UTF-8 are
  // replaced so the document is always valid JSON.
  return document.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace tessarine::inspect
