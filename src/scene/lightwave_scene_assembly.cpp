// The scene made from a LightWave scene file's records: times, motions and settings with
// LightWave's defaults, parents and targets checked and cycles broken without recursion,
// the camera the scene renders through, and the lights OpenGL can hold.
#include "scene/lightwave_scene_assembly.h"

#include <algorithm>
#include <cmath>

namespace tessarine::scene::lightwave {
namespace {

// What LightWave gives a new scene, light and camera.
constexpr double kDefaultFramesPerSecond = 30;
constexpr std::int64_t kDefaultFirstFrame = 1;
constexpr std::int64_t kDefaultLastFrame = 60;
constexpr float kDefaultZoom = 3.2f;
constexpr float kDefaultAmbientIntensity = 0.25f;
constexpr float kDefaultIntensity = 1;
constexpr float kDefaultConeAngle = 30;
constexpr Color3 kWhite{1, 1, 1};
// LightWave's linear and area lights, which OpenGL draws as points.
constexpr std::int64_t kLinearLight = 3;
constexpr std::int64_t kAreaLight = 4;

anim::ItemMotion motionOf(MotionRecord& motion, float framesPerSecond) {
  if (!motion.frameKeys.empty()) {
    return anim::ItemMotion(anim::Motion(std::move(motion.frameKeys), framesPerSecond), motion.frameKeysAfter);
  }
  const bool enveloped = std::any_of(motion.channels.begin(), motion.channels.end(),
                                     [](const auto& channel) { return channel.has_value(); });
  if (!enveloped) {
    anim::MotionKey rest;
    rest.values = {0, 0, 0, 0, 0, 0, 1, 1, 1};
    return anim::Motion({rest}, framesPerSecond);
  }
  std::vector<anim::ChannelEnvelope> channels;
  channels.reserve(kItemChannels);
  for (std::size_t c = 0; c < kItemChannels; ++c) {
    if (motion.channels[c]) {
      channels.push_back(std::move(*motion.channels[c]));
    } else {
      // A channel the file leaves out (a camera has no scale) stays at rest.
      anim::ChannelKey rest;
      rest.value = c >= anim::kScaleX ? 1 : 0;
      channels.emplace_back(std::vector<anim::ChannelKey>{rest}, anim::Behavior::kConstant, anim::Behavior::kConstant);
    }
  }
  return anim::ItemMotion(std::move(channels));
}

std::unique_ptr<anim::ValueEnvelope> envelopeOf(SettingRecord& setting, float framesPerSecond) {
  if (!setting.frameKeys.empty()) {
    return std::make_unique<anim::ValueEnvelope>(anim::Envelope(std::move(setting.frameKeys), framesPerSecond),
                                                 setting.frameKeysAfter);
  }
  if (setting.channel) return std::make_unique<anim::ValueEnvelope>(std::move(*setting.channel), setting.scale);
  return nullptr;
}

std::optional<float> plainOf(const SettingRecord& setting) {
  if (!setting.plain) return std::nullopt;
  return static_cast<float>(*setting.plain);
}

class Builder {
 public:
  Builder(Scene& scene, SceneRecord& record) : scene_(scene), record_(record) {}

  void build() {
    const double rate = record_.framesPerSecond.value_or(kDefaultFramesPerSecond);
    rate_ = static_cast<float>(rate);
    const std::int64_t first = record_.firstFrame.value_or(kDefaultFirstFrame);
    const std::int64_t last = record_.lastFrame.value_or(kDefaultLastFrame);
    scene_.version = record_.version;
    scene_.framesPerSecond = rate_;
    scene_.firstFrame = frameNumber(first);
    scene_.lastFrame = frameNumber(last);
    scene_.startTime = static_cast<double>(first) / rate;
    scene_.endTime = static_cast<double>(last) / rate;
    buildObjects();
    buildCamera();
    buildLights();
    buildSettings();
    scene_.leftOut = std::move(record_.leftOut);
  }

 private:
  static std::optional<std::uint32_t> frameNumber(std::int64_t frame) {
    if (frame < 0 || frame > static_cast<std::int64_t>(UINT32_MAX)) return std::nullopt;
    return static_cast<std::uint32_t>(frame);
  }

  std::int32_t resolve(const std::optional<ItemReference>& reference, const char* leftOut) {
    if (!reference) return kNoParent;
    if (!reference->isObject || reference->index >= record_.objects.size()) {
      record_.leaveOut(leftOut);
      return kNoParent;
    }
    return static_cast<std::int32_t>(reference->index);
  }
  std::int32_t parentOf(const ItemRecord& item) { return resolve(item.parent, "parents that are no object"); }
  std::int32_t targetOf(const ItemRecord& item) { return resolve(item.target, "targets that are no object"); }
  const SceneObject* objectAt(std::int32_t index) const {
    return index == kNoParent ? nullptr : &scene_.objects[static_cast<std::size_t>(index)];
  }

  // Walks up from every object once: an object met again on the walk still open closes a
  // cycle, and the last link of the walk, the one that closes it, is dropped.
  void breakCycles(std::vector<std::int32_t>& parents) {
    enum class State : std::uint8_t { kUnseen, kOnWalk, kEnds };
    std::vector<State> state(parents.size(), State::kUnseen);
    std::vector<std::size_t> walk;
    for (std::size_t start = 0; start < parents.size(); ++start) {
      walk.clear();
      std::size_t at = start;
      bool cycle = false;
      while (state[at] == State::kUnseen) {
        state[at] = State::kOnWalk;
        walk.push_back(at);
        if (parents[at] == kNoParent) break;
        at = static_cast<std::size_t>(parents[at]);
        cycle = state[at] == State::kOnWalk;
      }
      if (cycle) {
        parents[walk.back()] = kNoParent;
        record_.leaveOut("parent cycles");
      }
      for (std::size_t index : walk) state[index] = State::kEnds;
    }
  }

  void buildObjects() {
    std::vector<std::int32_t> parents;
    parents.reserve(record_.objects.size());
    for (const ItemRecord& object : record_.objects) parents.push_back(parentOf(object));
    breakCycles(parents);
    // Reserved whole, so the parent and target pointers set below stay valid.
    scene_.objects.reserve(record_.objects.size());
    for (std::size_t i = 0; i < record_.objects.size(); ++i) {
      ItemRecord& record = record_.objects[i];
      SceneObject& object = scene_.objects.emplace_back();
      object.motion = std::make_unique<anim::ItemMotion>(motionOf(record.motion, rate_));
      object.parentIndex = parents[i];
      object.targetIndex = targetOf(record);
      if (object.targetIndex == static_cast<std::int32_t>(i)) {
        record_.leaveOut("targets that are no object");
        object.targetIndex = kNoParent;
      }
      object.pivot = record.pivot;
      object.source = std::move(record.source);
    }
    for (SceneObject& object : scene_.objects) {
      object.parent = objectAt(object.parentIndex);
      object.target = objectAt(object.targetIndex);
    }
  }

  // The camera the scene renders through ("CurrentCamera"), or the first; LightWave's
  // default camera when the file has none.
  void buildCamera() {
    SceneCamera& camera = scene_.camera;
    if (record_.cameras.empty()) {
      MotionRecord rest;
      camera.motion = std::make_unique<anim::ItemMotion>(motionOf(rest, rate_));
      camera.zoomFactor = kDefaultZoom;
      return;
    }
    if (record_.cameras.size() > 1) record_.leaveOut("extra cameras");
    std::size_t chosen = record_.currentCamera.value_or(0);
    if (chosen >= record_.cameras.size()) chosen = 0;
    ItemRecord& record = record_.cameras[chosen];
    camera.motion = std::make_unique<anim::ItemMotion>(motionOf(record.motion, rate_));
    camera.parentIndex = parentOf(record);
    camera.parent = objectAt(camera.parentIndex);
    camera.targetIndex = targetOf(record);
    camera.target = objectAt(camera.targetIndex);
    camera.pivot = record.pivot;
    camera.zoomEnvelope = envelopeOf(record.zoom, rate_);
    if (!camera.zoomEnvelope) camera.zoomFactor = plainOf(record.zoom).value_or(kDefaultZoom);
  }

  void buildLights() {
    std::vector<std::unique_ptr<anim::ValueEnvelope>> intensities;
    std::vector<double> brightness;
    for (ItemRecord& light : record_.lights) {
      intensities.push_back(envelopeOf(light.intensity, rate_));
      const double intensity = intensities.back() ? intensities.back()->valueAt(scene_.startTime)
                                                  : plainOf(light.intensity).value_or(kDefaultIntensity);
      brightness.push_back(intensity * *std::max_element(light.color.begin(), light.color.end()));
    }
    const std::vector<std::size_t> kept = chooseLights(brightness);
    scene_.lightsLeftOut = record_.lights.size() - kept.size();
    scene_.lights.reserve(kept.size());
    for (std::size_t index : kept) {
      ItemRecord& record = record_.lights[index];
      SceneLight& light = scene_.lights.emplace_back(motionOf(record.motion, rate_));
      light.glLight = kGlLight0 + static_cast<unsigned>(scene_.lights.size() - 1);
      light.name = std::move(record.name);
      light.lightType = lightTypeOf(record.lightType);
      light.intensityEnvelope = std::move(intensities[index]);
      light.color = {record.color[0], record.color[1], record.color[2], 1};
      // A plain intensity is multiplied in here; an enveloped one every frame.
      if (!light.intensityEnvelope) {
        light.intensity = plainOf(record.intensity).value_or(kDefaultIntensity);
        for (int c = 0; c < 3; ++c) light.color[c] *= *light.intensity;
      }
      if (light.lightType == kSpot) {
        light.coneEnvelope = envelopeOf(record.coneAngle, rate_);
        if (!light.coneEnvelope) light.coneAngle = plainOf(record.coneAngle).value_or(kDefaultConeAngle);
      }
      if (light.lightType == kSpot) light.edgeAngle = static_cast<float>(atStart(record.edgeAngle));
      light.attenuation = attenuationOf(record);
      light.parentIndex = parentOf(record);
      light.parent = objectAt(light.parentIndex);
      light.targetIndex = targetOf(record);
      light.target = objectAt(light.targetIndex);
      light.pivot = record.pivot;
    }
  }

  // A setting's value at the scene's start, plain or enveloped; 0 when the file has none.
  double atStart(SettingRecord& setting) {
    if (std::unique_ptr<anim::ValueEnvelope> envelope = envelopeOf(setting, rate_)) {
      return envelope->valueAt(scene_.startTime);
    }
    return plainOf(setting).value_or(0);
  }

  // OpenGL weakens a light by 1 / (constant + linear d + quadratic d^2). An inverse fall is
  // exact; LightWave's linear fall to nothing at its range has no such form, and is taken as
  // half the light at the range instead.
  std::array<float, 3> attenuationOf(ItemRecord& light) {
    constexpr std::int64_t kLinearFall = 1, kInverse = 2, kInverseSquare = 3;
    double range = atStart(light.range);
    std::int64_t type = light.falloffType;
    if (const double perMetre = atStart(light.falloff); type == 0 && perMetre > 0) {
      type = kLinearFall;
      range = 1 / perMetre;
    }
    if (type == 0) return {1, 0, 0};
    if (!(range > 0) || !std::isfinite(range)) {
      record_.leaveOut("light falloff without a range");
      return {1, 0, 0};
    }
    const auto reach = static_cast<float>(1 / range);
    if (type == kLinearFall) return {1, reach, 0};
    if (type == kInverse) return {0, reach, 0};
    if (type == kInverseSquare) return {0, 0, reach * reach};
    record_.leaveOut("light falloff types not known");
    return {1, 0, 0};
  }

  std::uint32_t lightTypeOf(std::int64_t type) {
    if (type == kDistant || type == kPoint || type == kSpot) return static_cast<std::uint32_t>(type);
    record_.leaveOut(type == kLinearLight || type == kAreaLight ? "linear and area lights, drawn as point lights"
                                                                : "lights of unknown types, drawn as point lights");
    return kPoint;
  }

  void buildSettings() {
    const Color3 ambient = record_.ambientColor.value_or(kWhite);
    scene_.ambientIntensityEnvelope = envelopeOf(record_.ambientIntensity, rate_);
    float scale = 1;
    if (!scene_.ambientIntensityEnvelope) {
      scene_.ambientIntensity = plainOf(record_.ambientIntensity).value_or(kDefaultAmbientIntensity);
      scale = *scene_.ambientIntensity;
    }
    scene_.ambientColor = Color4{ambient[0] * scale, ambient[1] * scale, ambient[2] * scale, 1};
    // A fog that is off keeps its distances in the file; they must not clip the view.
    scene_.fogged = record_.fogType.value_or(0) != 0;
    if (scene_.fogged) {
      scene_.fogMinEnvelope = envelopeOf(record_.fogMinDistance, rate_);
      scene_.fogMaxEnvelope = envelopeOf(record_.fogMaxDistance, rate_);
      scene_.fogMinDistance = plainOf(record_.fogMinDistance);
      scene_.fogMaxDistance = plainOf(record_.fogMaxDistance);
      if (record_.fogColor) scene_.fogColor = Color4{(*record_.fogColor)[0], (*record_.fogColor)[1], (*record_.fogColor)[2], 1};
    }
    scene_.backdropColor = record_.backdropColor;
  }

  Scene& scene_;
  SceneRecord& record_;
  float rate_ = 0;
};

}  // namespace

std::unique_ptr<Scene> buildScene(DemoContext& context, std::string fileName, float nearPlane, SceneRecord record) {
  auto scene = std::make_unique<Scene>(context, std::move(fileName), nearPlane, TransformRule::kLightWave);
  Builder(*scene, record).build();
  return scene;
}

}  // namespace tessarine::scene::lightwave
