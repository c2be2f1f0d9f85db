// Reads a scene file: the header, the token loop over the thirteen keywords the player
// acts on, the scene-wide settings, and the closing checks, times and parent links.
#include <string_view>

#include "common/error.h"
#include "common/path.h"
#include "scene/item_reader.h"
#include "scene/parent_resolution.h"
#include "scene/reader_support.h"
#include "scene/scene.h"

namespace tessarine::scene {
namespace {

constexpr std::string_view kMagic = "LWSC";
constexpr std::uint32_t kVersion = 1;

bool isVersion(const std::optional<std::string>& token) {
  if (!token || token->empty()) return false;
  std::uint32_t value = 0;
  for (char c : *token) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
    if (value > kVersion) return false;  // stops before any overflow
  }
  return value == kVersion;
}

void readHeader(common::DataFile& file) {
  if (file.nextToken() != kMagic) throw common::Error("Not LW Scene File");
  if (!isVersion(file.nextToken())) throw common::Error("Not LW v.5.6");
}

// One pass of the loop over the token in `token`. The tests are independent and run in
// this order; a handler may replace the token, and the tests after it see the new one.
void runPass(Scene& scene, common::DataFile& file, std::string& token) {
  float& rate = scene.framesPerSecond;
  if (token == "FirstFrame") scene.firstFrame = file.readUnsigned("FirstFrame");
  if (token == "LastFrame") scene.lastFrame = file.readUnsigned("LastFrame");
  if (token == "FramesPerSecond") {
    float value = file.readFloat("FramesPerSecond");
    if (!(value > 0)) throw common::Error("FramesPerSecond must be above 0 in " + file.where());
    rate = value;
  }
  // The player has no depth of field, so the shows' scenes reuse this line to carry the
  // camera shake amplitude, a number or an envelope, by which the renderer shakes the view.
  if (token == "FocalDistance") {
    if (auto value = detail::readValueOrEnvelope(file, token, rate, "FocalDistance", scene.shakeEnvelope)) {
      scene.shakeAmplitude = *value;
    }
  }
  if (token == "FogMaxDist") {
    if (auto value = detail::readValueOrEnvelope(file, token, rate, "FogMaxDist", scene.fogMaxEnvelope)) {
      scene.fogMaxDistance = value;
    }
  }
  if (token == "FogMinDist") {
    if (auto value = detail::readValueOrEnvelope(file, token, rate, "FogMinDist", scene.fogMinEnvelope)) {
      scene.fogMinDistance = value;
    }
  }
  if (token == "FogColor") {
    Color3 color = detail::readColor(file, "FogColor");
    scene.fogColor = Color4{color[0], color[1], color[2], 1.0f};
  }
  if (token == "BackdropColor") scene.backdropColor = detail::readColor(file, "BackdropColor");
  if (token == "AmbientColor") {
    Color3 color = detail::readColor(file, "AmbientColor");
    detail::readInto(file, token);
    if (token != "AmbIntensity") throw common::Error("Lack of AmbIntensity");
    if (auto value =
            detail::readValueOrEnvelope(file, token, rate, "AmbIntensity", scene.ambientIntensityEnvelope)) {
      scene.ambientIntensity = value;
    }
    // An enveloped intensity multiplies the bare colour every frame instead.
    if (!scene.ambientIntensityEnvelope) {
      if (!scene.ambientIntensity) detail::failMissingValue("AmbIntensity", token, file);
      for (float& component : color) component *= *scene.ambientIntensity;
    }
    scene.ambientColor = Color4{color[0], color[1], color[2], 1.0f};
  }
  if (token == "LightMotion") detail::readLight(scene, file);
  if (token == "LoadObject") detail::readObject(scene, file, token);
  if (token == "AddNull") detail::readNull(scene, file, token);
  if (token == "CameraMotion") detail::readCamera(scene, file, token);
}

// What the renderer cannot do without, refused here rather than met mid-show.
void checkComplete(const Scene& scene, const std::string& path) {
  if (!(scene.framesPerSecond > 0)) throw common::Error("No FramesPerSecond in " + path);
  if (!scene.camera.motion) throw common::Error("No CameraMotion in " + path);
  if (!scene.camera.zoomFactor && !scene.camera.zoomEnvelope) {
    throw common::Error("The camera has no ZoomFactor value in " + path);
  }
}

// The reading both entry points share, over whatever bytes they were given.
void readScene(Scene& scene, common::DataFile& file) {
  try {
    readHeader(file);
    std::string token;
    while (detail::readInto(file, token)) runPass(scene, file, token);

    checkComplete(scene, file.name());
    std::uint32_t first = scene.firstFrame.value_or(0);
    std::uint32_t last = scene.lastFrame.value_or(first);
    scene.endTime = last / static_cast<double>(scene.framesPerSecond);
    scene.startTime = first / static_cast<double>(scene.framesPerSecond);
    detail::resolveParents(scene, file.name());
  } catch (const common::Error& error) {
    // The fixed texts say neither where nor what was read: the last token read is the one
    // the reader stopped at. Faults inside objects and images keep their own place.
    if (!error.where().empty()) throw;
    throw common::Error(error.message(), file.textPlace());
  }
}

}  // namespace

Scene::Scene(DemoContext& context, std::string fileName, float nearPlane)
    : context(&context), fileName(std::move(fileName)), nearPlane(nearPlane) {
  common::DataFile file(common::joinPath(context.dataDirectory, this->fileName), "rt");
  readScene(*this, file);
}

Scene::Scene(DemoContext& context, std::string fileName, std::span<const std::byte> text, float nearPlane)
    : context(&context), fileName(std::move(fileName)), nearPlane(nearPlane) {
  common::DataFile file(text, this->fileName);
  readScene(*this, file);
}

}  // namespace tessarine::scene
