// Writes LightWave 5.6 scene files in the order a modeller saves them: header and frame
// range, objects, ambient light, lights, camera, backdrop and fog, then the view settings.
#include "formats/lws_writer.h"

#include <cmath>
#include <cstdio>

#include "common/error.h"

namespace tessarine::formats {
namespace {

// Every section ends with this behaviour beyond its last key; the player ignores it.
constexpr int kEndBehaviorRepeat = 1;
constexpr int kShadowOptionsAll = 7;
constexpr int kLockedChannelsNone = 0;

class SceneText {
 public:
  void line(const std::string& text) {
    out_ += text;
    out_ += '\n';
  }
  void blank() { out_ += '\n'; }
  std::string& text() { return out_; }

 private:
  std::string out_;
};

std::string number(float value) { return formatLwsNumber(value); }

std::string color(const LwsColor& c) {
  return std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]);
}

void checkName(const std::string& name, const char* what) {
  if (name.empty() || name.size() > kLwsMaxToken) {
    throw common::Error(std::string(what) + " must be 1 to 127 characters: \"" + name + "\"");
  }
  for (char c : name) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0') {
      throw common::Error(std::string(what) + " must be one token: \"" + name + "\"");
    }
  }
}

template <typename Key>
void checkKeys(const std::vector<Key>& keys, const char* what) {
  if (keys.empty()) throw common::Error(std::string(what) + " without keys");
  for (std::size_t i = 1; i < keys.size(); ++i) {
    if (keys[i].frame <= keys[i - 1].frame) {
      throw common::Error(std::string(what) + ": key at frame " + std::to_string(keys[i].frame) +
                                  " does not come after frame " + std::to_string(keys[i - 1].frame));
    }
  }
}

void checkParent(const std::optional<std::uint32_t>& parent, std::size_t objectCount, const char* what) {
  if (parent && *parent >= objectCount) {
    throw common::Error(std::string(what) + " names parent " + std::to_string(*parent) + " of " +
                                std::to_string(objectCount) + " objects");
  }
}

// A section's channel count, key count and keys, each key's values on one line and its
// frame, linear flag, tension, continuity and bias on the next, then the end behaviour.
template <std::size_t kChannelCount>
void writeKeys(SceneText& out, const std::string& keyword, const std::vector<LwsKey<kChannelCount>>& keys) {
  checkKeys(keys, keyword.c_str());
  out.line("  " + std::to_string(kChannelCount));
  out.line("  " + std::to_string(keys.size()));
  for (const LwsKey<kChannelCount>& key : keys) {
    std::string values = " ";
    for (float v : key.values) values.append(1, ' ').append(number(v));
    out.line(values);
    out.line("  " + std::to_string(key.frame) + " " + (key.linear ? "1" : "0") + " " + number(key.tension) + " " +
             number(key.continuity) + " " + number(key.bias));
  }
  out.line("EndBehavior " + std::to_string(kEndBehaviorRepeat));
}

void writeMotion(SceneText& out, const std::string& keyword, const LwsMotion& motion) {
  out.line(keyword + " (unnamed)");
  writeKeys(out, keyword, motion);
}

// "Keyword value" or "Keyword (envelope)" followed by the envelope section.
void writeValue(SceneText& out, const std::string& keyword, const LwsValue& value) {
  if (!value.enveloped()) {
    out.line(keyword + " " + number(value.plain));
    return;
  }
  out.line(keyword + " (envelope)");
  writeKeys(out, keyword, value.envelope);
}

void writeHeader(SceneText& out, const LwsScene& scene) {
  if (!(scene.framesPerSecond > 0)) throw common::Error("FramesPerSecond must be above 0");
  if (scene.lastFrame < scene.firstFrame) throw common::Error("LastFrame comes before FirstFrame");
  out.line("LWSC");
  out.line("1");
  out.blank();
  out.line("FirstFrame " + std::to_string(scene.firstFrame));
  out.line("LastFrame " + std::to_string(scene.lastFrame));
  out.line("FrameStep 1");
  out.line("PreviewFirstFrame " + std::to_string(scene.firstFrame));
  out.line("PreviewLastFrame " + std::to_string(scene.lastFrame));
  out.line("PreviewFrameStep 1");
  // Before any motion or envelope: each is handed the rate in force when it is read.
  out.line("FramesPerSecond " + number(scene.framesPerSecond));
  out.blank();
}

void writeObject(SceneText& out, const LwsObject& object, std::size_t objectCount) {
  checkParent(object.parent, objectCount, "Object");
  if (object.objectFile.empty()) {
    checkName(object.nullName, "Null name");
    out.line("AddNull " + object.nullName);
  } else {
    checkName(object.objectFile, "Object file name");
    out.line("LoadObject " + object.objectFile);
  }
  out.line("ShowObject 6 7");
  writeMotion(out, "ObjectMotion", object.motion);
  // The player drops the word after the motion unless it is one of these two, so a
  // keyword of its own always follows.
  out.line("LockedChannels " + std::to_string(kLockedChannelsNone));
  if (object.parent) out.line("ParentObject " + std::to_string(*object.parent));
  out.line("ObjectDissolve 0");
  out.line("ShadowOptions " + std::to_string(kShadowOptionsAll));
  out.blank();
}

void writeLight(SceneText& out, const LwsLight& light, std::size_t objectCount) {
  checkParent(light.parent, objectCount, "Light");
  checkName(light.name, "Light name");
  out.line("AddLight");
  out.line("LightName " + light.name);
  out.line("ShowLight 0 7");
  writeMotion(out, "LightMotion", light.motion);
  // Between the motion and the colour only these two may stand.
  out.line("LockedChannels " + std::to_string(kLockedChannelsNone));
  if (light.parent) out.line("ParentObject " + std::to_string(*light.parent));
  out.line("LightColor " + color(light.color));
  writeValue(out, "LgtIntensity", light.intensity);
  out.line("LightType " + std::to_string(static_cast<std::uint32_t>(light.type)));
  if (light.type == LwsLightType::kSpot) {
    // The cone has to follow the type directly.
    writeValue(out, "ConeAngle", light.coneAngle);
    out.line("EdgeAngle " + number(light.edgeAngle));
  } else if (light.type == LwsLightType::kPoint) {
    out.line("Falloff 0");
  }
  out.line("ShadowType 1");
  out.blank();
}

void writeCamera(SceneText& out, const LwsCamera& camera, std::size_t objectCount) {
  checkParent(camera.parent, objectCount, "Camera");
  out.line("CameraName Camera");
  out.line("ShowCamera 1 2");
  writeMotion(out, "CameraMotion", camera.motion);
  out.line("LockedChannels " + std::to_string(kLockedChannelsNone));
  if (camera.parent) out.line("ParentObject " + std::to_string(*camera.parent));
  // The zoom has to follow the motion (and parent) directly.
  writeValue(out, "ZoomFactor", camera.zoom);
  out.line("RenderMode 2");
  out.line("RayTraceEffects 0");
  out.line("Resolution 1");
  out.line("Letterbox 0");
  out.line("PixelAspectRatio -1");
  out.line("SegmentMemory 2200000");
  out.line("Antialiasing 0");
  out.line("AdaptiveSampling 1");
  out.line("AdaptiveThreshold 8");
  out.line("FieldRendering 0");
  out.line("MotionBlur 0");
  out.line("DepthOfField 0");
  if (camera.focalDistance) writeValue(out, "FocalDistance", *camera.focalDistance);
  out.line("LensFStop 4");
  out.blank();
}

void writeEffects(SceneText& out, const LwsScene& scene) {
  out.line("SolidBackdrop 1");
  out.line("BackdropColor " + color(scene.backdropColor));
  out.line("ZenithColor 0 40 80");
  out.line("SkyColor 120 180 240");
  out.line("GroundColor 50 40 30");
  out.line("NadirColor 100 80 60");
  out.line("FogType 1");
  writeValue(out, "FogMinDist", scene.fogMinDistance);
  writeValue(out, "FogMaxDist", scene.fogMaxDistance);
  out.line("FogColor " + color(scene.fogColor));
  out.line("DitherIntensity 1");
  out.line("AnimatedDither 0");
  out.blank();
  out.line("ViewMode 5");
  out.line("ViewAimpoint 0 0 0");
  out.line("ViewDirection 0 -0.2 0");
  out.line("ViewZoomFactor 3.2");
  out.line("LayoutGrid 1");
  out.line("GridSize 1");
  out.line("ShowMotionPath 1");
  out.line("ShowSafeAreas 0");
  out.line("ShowBGImage 0");
  out.line("ShowFogRadius 0");
  out.line("ShowRedraw 0");
}

}  // namespace

std::string formatLwsNumber(float value) {
  if (!std::isfinite(value)) throw common::Error("A scene file holds finite numbers only");
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", static_cast<double>(value));
  std::string text = buffer;
  // Trailing zeros carry nothing; the shorter file reads faster.
  std::size_t dot = text.find('.');
  if (dot != std::string::npos) {
    std::size_t last = text.find_last_not_of('0');
    text.erase(last == dot ? dot : last + 1);
  }
  if (text == "-0") text = "0";
  return text;
}

std::string writeLws(const LwsScene& scene) {
  if (scene.lights.size() > kLwsMaxLights) {
    throw common::Error("A scene holds at most 8 lights, not " + std::to_string(scene.lights.size()));
  }
  SceneText out;
  writeHeader(out, scene);
  for (const LwsObject& object : scene.objects) writeObject(out, object, scene.objects.size());
  out.line("AmbientColor " + color(scene.ambientColor));
  writeValue(out, "AmbIntensity", scene.ambientIntensity);
  out.blank();
  for (const LwsLight& light : scene.lights) writeLight(out, light, scene.objects.size());
  writeCamera(out, scene.camera, scene.objects.size());
  writeEffects(out, scene);
  return std::move(out.text());
}

}  // namespace tessarine::formats
