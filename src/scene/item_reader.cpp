// Lights, objects, nulls and the camera of a scene file, and the object part that follows
// a "LoadObject" or "AddNull" line.
#include "scene/item_reader.h"

#include "common/error.h"
#include "scene/reader_support.h"

namespace tessarine::scene {

void Scene::readObjectMotion(common::DataFile& file) {
  // The item's display line ("ShowObject 6 7" in modeller output) carries nothing used.
  file.readToken("the line after the object's name");
  file.readUnsigned("the first number after the object's name");
  file.readUnsigned("the second number after the object's name");
  if (file.readToken("ObjectMotion") != "ObjectMotion") throw common::Error("Not ObjectMotion");
  detail::requireFrameRate(framesPerSecond, file);
  SceneObject& object = objects.back();
  object.motion = std::make_unique<anim::ItemMotion>(anim::Motion(file, framesPerSecond));

  // The token after the motion (or after LockedChannels' number) is consumed even when
  // it is no keyword of the item: the loop goes on with the one after it.
  std::string token;
  if (!detail::readInto(file, token)) return;
  if (token == "LockedChannels") {
    file.readUnsigned("LockedChannels number");
    if (!detail::readInto(file, token)) return;
  }
  if (token == "ParentObject") object.parentIndex = detail::readParentIndex(file);
}

namespace detail {

void readLight(Scene& scene, common::DataFile& file) {
  requireFrameRate(scene.framesPerSecond, file);
  anim::Motion motion(file, scene.framesPerSecond);
  // Counted after the motion has been read, so a broken ninth motion reports its own fault.
  if (scene.lights.size() >= kMaxLights) throw common::Error("This Light does not exist");
  SceneLight light(std::move(motion));
  light.glLight = kGlLight0 + static_cast<unsigned>(scene.lights.size());

  std::string token;
  readInto(file, token);
  if (token == "LockedChannels") {
    file.readUnsigned("LockedChannels number");
    readInto(file, token);
  }
  if (token == "ParentObject") {
    light.parentIndex = readParentIndex(file);
    readInto(file, token);
  }
  if (token != "LightColor") throw common::Error("Lack of LightColor");
  Color3 color = readColor(file, "LightColor");
  light.color = {color[0], color[1], color[2], 1.0f};

  readInto(file, token);
  if (token != "LgtIntensity") throw common::Error("Lack of LgtIntensity");
  light.intensity = readValueOrEnvelope(file, token, scene.framesPerSecond, "LgtIntensity", light.intensityEnvelope);
  if (!light.intensityEnvelope) {
    // A colour multiplied by a value the file never gave would be a guess.
    if (!light.intensity) failMissingValue("LgtIntensity", token, file);
    for (int i = 0; i < 3; ++i) light.color[i] *= *light.intensity;
  }

  readInto(file, token);
  if (token != "LightType") throw common::Error("Lack of LightType");
  light.lightType = file.readUnsigned("LightType");
  // Only a spot light has a cone; after any other type a "ConeAngle" line is left to the
  // loop, which skips it like any keyword it does not act on.
  if (light.lightType == kSpot) {
    readInto(file, token);
    if (token != "ConeAngle") throw common::Error("Lack of ConeAngle");
    light.coneAngle = readValueOrEnvelope(file, token, scene.framesPerSecond, "ConeAngle", light.coneEnvelope);
    if (!light.coneEnvelope && !light.coneAngle) failMissingValue("ConeAngle", token, file);
  }
  scene.lights.push_back(std::move(light));
}

namespace {

// Objects join the list before their part is read: readObjectMotion fills the last one.
SceneObject& appendObject(Scene& scene) { return scene.objects.emplace_back(); }

}  // namespace

void readObject(Scene& scene, common::DataFile& file, std::string& token) {
  token = file.readToken("object file name");
  SceneObject& object = appendObject(scene);
  object.mesh = &scene.context->meshNamed(token);
  scene.readObjectMotion(file);
}

void readNull(Scene& scene, common::DataFile& file, std::string& token) {
  token = file.readToken("null name");
  appendObject(scene);
  scene.readObjectMotion(file);
}

void readCamera(Scene& scene, common::DataFile& file, std::string& token) {
  requireFrameRate(scene.framesPerSecond, file);
  SceneCamera& camera = scene.camera;
  camera.motion = std::make_unique<anim::ItemMotion>(anim::Motion(file, scene.framesPerSecond));
  if (!readInto(file, token)) return;
  if (token == "LockedChannels") {
    file.readUnsigned("LockedChannels number");
    if (!readInto(file, token)) return;
  }
  if (token == "ParentObject") {
    camera.parentIndex = readParentIndex(file);
    if (!readInto(file, token)) return;
  }
  if (token == "ZoomFactor") {
    if (std::optional<float> zoom =
            readValueOrEnvelope(file, token, scene.framesPerSecond, "ZoomFactor", camera.zoomEnvelope)) {
      camera.zoomFactor = zoom;
    }
  }
}

}  // namespace detail
}  // namespace tessarine::scene
