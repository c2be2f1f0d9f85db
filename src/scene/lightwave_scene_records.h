// What the LightWave scene reader gathers from the file before the scene is built: items in
// file order with their motions, settings and references as written, and the scene-wide
// lines. The scene is built from these once the whole file is read, so the lines may come
// in any order and the frame rate may follow the motions.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "anim/channel_envelope.h"
#include "anim/keyed_curve.h"
#include "scene/scene.h"

namespace tessarine::scene::lightwave {

inline constexpr std::size_t kItemChannels = anim::kChannels;

// LightWave's item ids keep an object's number in 16 bits (a bone's id holds its object's),
// so no scene it writes holds more objects, lights or cameras than this; the bound keeps a
// file of bare "AddNull" lines from costing far more memory than its size.
inline constexpr std::size_t kMaxItems = 65536;

// Another item as a "Parent..." or "Target..." line names it: an object by its index in
// file order, or an item that is no object (a light, a camera, a bone, or no item at all).
struct ItemReference {
  bool isObject = false;
  std::uint32_t index = 0;
};

// A setting's value: a plain number or an envelope, keyed in frames (LWSC 1) or a channel
// envelope whose values are multiplied by `scale` (LWSC 2 and later).
struct SettingRecord {
  std::optional<double> plain;
  std::vector<anim::EnvelopeKey> frameKeys;
  anim::Behavior frameKeysAfter = anim::Behavior::kConstant;  // after the last of the frame keys
  std::optional<anim::ChannelEnvelope> channel;
  double scale = 1;
};

// An item's motion: keys of all nine channels in frames (LWSC 1), or channel envelopes in
// seconds with rotations in radians (LWSC 2 and later), missing channels at rest.
struct MotionRecord {
  std::vector<anim::MotionKey> frameKeys;
  anim::Behavior frameKeysAfter = anim::Behavior::kConstant;
  std::array<std::optional<anim::ChannelEnvelope>, kItemChannels> channels;
};

enum class ItemKind : std::uint8_t { kObject, kLight, kCamera, kBone };

struct ItemRecord {
  explicit ItemRecord(ItemKind kind) : kind(kind) {}

  ItemKind kind;
  MotionRecord motion;
  std::optional<ItemReference> parent;
  std::optional<ItemReference> target;
  Vector3 pivot{};
  ItemSource source;  // objects
  // Lights: colour from 0 to 1, cone angle in degrees.
  std::string name;
  Color3 color{1, 1, 1};
  SettingRecord intensity;
  std::int64_t lightType = kDistant;
  SettingRecord coneAngle;
  SettingRecord edgeAngle;
  // "LightFalloffType" (0 none, 1 linear, 2 inverse distance, 3 its square) with "LightRange";
  // LightWave 5's "Falloff" is a linear fall per metre.
  std::int64_t falloffType = 0;
  SettingRecord range;
  SettingRecord falloff;
  SettingRecord zoom;  // cameras
};

struct SceneRecord {
  std::uint32_t version = 0;
  std::optional<std::int64_t> firstFrame;
  std::optional<std::int64_t> lastFrame;
  std::optional<double> framesPerSecond;
  std::vector<ItemRecord> objects;
  std::vector<ItemRecord> lights;
  std::vector<ItemRecord> cameras;
  std::optional<std::uint32_t> currentCamera;
  std::optional<Color3> ambientColor;
  SettingRecord ambientIntensity;
  std::optional<std::int64_t> fogType;
  SettingRecord fogMinDistance;
  SettingRecord fogMaxDistance;
  std::optional<Color3> fogColor;
  std::optional<Color3> backdropColor;
  std::vector<std::string> leftOut;

  // Adds a phrase to what the file uses that the player does not play, once.
  void leaveOut(const std::string& phrase) {
    for (const std::string& known : leftOut) {
      if (known == phrase) return;
    }
    leftOut.push_back(phrase);
  }
};

}  // namespace tessarine::scene::lightwave
