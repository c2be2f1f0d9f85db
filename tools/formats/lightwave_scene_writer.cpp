// Writes LightWave scene files in the order LightWave saves them: header and frame range,
// objects, ambient light, lights, cameras, backdrop and fog, with display and render lines
// the player passes over between them.
#include "formats/lightwave_scene_writer.h"

#include <charconv>
#include <cmath>

#include "common/error.h"

namespace tessarine::formats {
namespace {

constexpr std::uint32_t kFrameVersion = 1;
constexpr std::uint32_t kFirstChannelVersion = 3;
constexpr std::uint32_t kFirstIdVersion = 4;
constexpr std::uint32_t kLastVersion = 5;
constexpr std::uint32_t kLinearShape = 3;
constexpr double kWholeColor = 255;
constexpr std::array<double, kLwscChannels> kRest{0, 0, 0, 0, 0, 0, 1, 1, 1};
// An item id: its kind in the top four bits, its index in the rest.
constexpr std::uint32_t kObjectId = 0x10000000;
constexpr std::uint32_t kLightId = 0x20000000;
constexpr std::uint32_t kCameraId = 0x30000000;
constexpr const char* kLightHandlers[] = {"DistantLight", "PointLight", "Spotlight", "LinearLight", "AreaLight"};

// The shortest text that reads back as the same double.
std::string number(double value) {
  char buffer[32];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)error;
  return std::string(buffer, end);
}

std::string hexId(std::uint32_t id) {
  char buffer[16];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, id, 16);
  (void)error;
  return std::string(buffer, end);
}

class Writer {
 public:
  explicit Writer(const LwscScene& scene) : scene_(scene), frames_(scene.version == kFrameVersion) {}

  std::string write() {
    const std::uint32_t v = scene_.version;
    if (v != kFrameVersion && (v < kFirstChannelVersion || v > kLastVersion)) {
      throw common::Error("LightWave scene version " + std::to_string(v) + " is not one this writer writes");
    }
    line("LWSC");
    line(std::to_string(v));
    line("");
    line("FirstFrame " + std::to_string(scene_.firstFrame));
    line("LastFrame " + std::to_string(scene_.lastFrame));
    line("FrameStep 1");
    line("PreviewFirstFrame " + std::to_string(scene_.firstFrame));
    line("PreviewLastFrame " + std::to_string(scene_.lastFrame));
    line("PreviewFrameStep 1");
    if (!frames_) line("CurrentFrame 0");
    line("FramesPerSecond " + number(scene_.framesPerSecond));
    line("");
    for (std::size_t i = 0; i < scene_.objects.size(); ++i) writeObject(scene_.objects[i], i);
    line("AmbientColor " + color(scene_.ambientColor));
    value(frames_ ? "AmbIntensity" : "AmbientIntensity", scene_.ambientIntensity);
    line("");
    for (std::size_t i = 0; i < scene_.lights.size(); ++i) writeLight(scene_.lights[i], i);
    for (std::size_t i = 0; i < (frames_ ? 1 : scene_.cameras.size()); ++i) writeCamera(scene_.cameras.at(i), i);
    line("SolidBackdrop 1");
    line("BackdropColor " + color(scene_.backdropColor));
    line("FogType " + std::to_string(scene_.fogType));
    value(frames_ ? "FogMinDist" : "FogMinDistance", scene_.fogMinDistance);
    value(frames_ ? "FogMaxDist" : "FogMaxDistance", scene_.fogMaxDistance);
    line("FogColor " + color(scene_.fogColor));
    line("DitherIntensity 1");
    if (scene_.currentCamera) line("CurrentCamera " + std::to_string(*scene_.currentCamera));
    return std::move(out_);
  }

 private:
  void line(const std::string& text) { out_ += text + "\n"; }

  std::string color(const std::array<double, 3>& c) const {
    std::string text;
    for (double component : c) {
      // Appended piece by piece: a Release build warns of an overlapping copy in " " + text.
      if (!text.empty()) text += ' ';
      text += frames_ ? std::to_string(std::lround(component * kWholeColor)) : number(component);
    }
    return text;
  }

  // "Keyword (id) rest" from LWSC 4 on, "Keyword rest" before.
  std::string added(const std::string& keyword, std::uint32_t id, const std::string& rest) const {
    std::string text = keyword;
    if (scene_.version >= kFirstIdVersion) text += " " + hexId(id);
    return rest.empty() ? text : text + " " + rest;
  }

  // LWSC 1: key i of every channel as one key in frames.
  void frameKeys(const LwscMotion& motion) {
    const std::size_t count = motion.empty() ? 1 : motion[0].keys.size();
    for (const LwscChannel& channel : motion) {
      if (channel.keys.size() != count) throw common::Error("LWSC 1 keys all channels of a motion together");
    }
    line("  " + std::to_string(kLwscChannels));
    line("  " + std::to_string(count));
    for (std::size_t i = 0; i < count; ++i) {
      std::string values = " ";
      for (std::size_t c = 0; c < kLwscChannels; ++c) {
        values += ' ';
        values += number(c < motion.size() ? motion[c].keys[i].value : kRest[c]);
      }
      line(values);
      const LwscKey key = motion.empty() ? LwscKey{} : motion[0].keys[i];
      line("  " + std::to_string(std::lround(key.time * scene_.framesPerSecond)) + " " +
           (key.shape == kLinearShape ? "1" : "0") + " " + number(key.params[0]) + " " + number(key.params[1]) + " " +
           number(key.params[2]));
    }
    line("EndBehavior 1");
  }

  void envelopeBlock(const LwscChannel& channel) {
    line("{ Envelope");
    line("  " + std::to_string(channel.keys.size()));
    for (const LwscKey& key : channel.keys) {
      std::string text = "  Key " + number(key.value) + " " + number(key.time) + " " + std::to_string(key.shape);
      for (double param : key.params) {
        text += ' ';
        text += number(param);
      }
      line(text);
    }
    line("  Behaviors " + std::to_string(channel.pre) + " " + std::to_string(channel.post));
    line("}");
  }

  void motion(const std::string& keyword, const LwscMotion& motion) {
    if (frames_) {
      line(keyword + " (unnamed)");
      frameKeys(motion);
      return;
    }
    line(keyword);
    line("NumChannels " + std::to_string(motion.size()));
    for (std::size_t c = 0; c < motion.size(); ++c) {
      line("Channel " + std::to_string(c));
      envelopeBlock(motion[c]);
    }
    line("");
  }

  void value(const std::string& keyword, const LwscValue& setting) {
    if (setting.envelope.keys.empty()) {
      line(keyword + " " + number(setting.plain));
      return;
    }
    line(keyword + " (envelope)");
    if (!frames_) {
      envelopeBlock(setting.envelope);
      return;
    }
    line("  1");
    line("  " + std::to_string(setting.envelope.keys.size()));
    for (const LwscKey& key : setting.envelope.keys) {
      line("  " + number(key.value));
      line("  " + std::to_string(std::lround(key.time * scene_.framesPerSecond)) + " " +
           (key.shape == kLinearShape ? "1" : "0") + " " + number(key.params[0]) + " " + number(key.params[1]) + " " +
           number(key.params[2]));
    }
    line("EndBehavior 1");
  }

  void relations(const LwscItem& item) {
    if (item.parent) line(frames_ ? "ParentObject " + std::to_string(*item.parent + 1) : "ParentItem " + hexId(kObjectId + *item.parent));
    if (item.target) line(frames_ ? "TargetObject " + std::to_string(*item.target + 1) : "TargetItem " + hexId(kObjectId + *item.target));
    if (item.pivot) {
      const auto& p = *item.pivot;
      line(std::string(frames_ ? "PivotPoint " : "PivotPosition ") + number(p[0]) + " " + number(p[1]) + " " + number(p[2]));
    }
  }

  void writeObject(const LwscObject& object, std::size_t index) {
    const std::uint32_t id = kObjectId + static_cast<std::uint32_t>(index);
    if (object.null) {
      line(frames_ ? "AddNull " + object.name : added("AddNullObject", id, object.name));
    } else if (object.layer && !frames_) {
      const std::string layer = std::to_string(*object.layer);
      line(scene_.version >= kFirstIdVersion ? "LoadObjectLayer " + layer + " " + hexId(id) + " " + object.name
                                             : "LoadObjectLayer " + layer + " " + object.name);
    } else {
      line(frames_ ? "LoadObject " + object.name : added("LoadObject", id, object.name));
    }
    line(frames_ ? "ShowObject 6 7" : "ShowObject 7 -1 0.376471 0.878431 0.941176");
    motion("ObjectMotion", object.item.motion);
    line("LockedChannels 0");
    relations(object.item);
    line("ShadowOptions 7");
    out_ += object.item.extra;
    line("");
  }

  void writeLight(const LwscLight& light, std::size_t index) {
    line(frames_ ? "AddLight" : added("AddLight", kLightId + static_cast<std::uint32_t>(index), ""));
    line("LightName " + light.name);
    line("ShowLight 1 -1");
    motion("LightMotion", light.item.motion);
    relations(light.item);
    line("LightColor " + color(light.color));
    value(frames_ ? "LgtIntensity" : "LightIntensity", light.intensity);
    if (!frames_) line("AffectCaustics 1");
    line("LightType " + std::to_string(light.type));
    if (light.type == 2) {
      value(frames_ ? "ConeAngle" : "LightConeAngle", light.coneAngle);
      line(frames_ ? "EdgeAngle 5" : "LightEdgeAngle 5");
    }
    line("ShadowType 1");
    if (!frames_ && light.type < std::size(kLightHandlers)) {
      line(std::string("Plugin LightHandler 1 ") + kLightHandlers[light.type]);
      line("EndPlugin");
    }
    out_ += light.item.extra;
    line("");
  }

  void writeCamera(const LwscCamera& camera, std::size_t index) {
    if (!frames_) line(added("AddCamera", kCameraId + static_cast<std::uint32_t>(index), ""));
    line("CameraName " + camera.name);
    line("ShowCamera 1 -1");
    motion("CameraMotion", camera.item.motion);
    relations(camera.item);
    value("ZoomFactor", camera.zoom);
    line("MotionBlur 0");
    if (!frames_) {
      line("Plugin CameraHandler 1 Perspective");
      line("EndPlugin");
    }
    out_ += camera.item.extra;
    line("");
  }

  const LwscScene& scene_;
  const bool frames_;
  std::string out_;
};

}  // namespace

LwscMotion lwscStill(const std::array<double, kLwscChannels>& values) {
  LwscMotion motion;
  for (double value : values) motion.push_back({.keys = {{.value = value}}});
  return motion;
}

std::string writeLightWaveScene(const LwscScene& scene) { return Writer(scene).write(); }

}  // namespace tessarine::formats
