// Writes scene files in LightWave's own dialects, for the LightWave scene reader's tests and
// fuzz seeds: LWSC 1 as LightWave 5 saves it (motions keyed in frames, objects counted from 1)
// and LWSC 3 to 5 as LightWave 6 and later save them ("Channel" envelopes, item ids,
// "LoadObjectLayer", plug-in blocks), with the lines around them that the player passes over.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessarine::formats {

inline constexpr std::size_t kLwscChannels = 9;

// One key of a channel: its value, its time in seconds, the shape of the span that ends at
// it (0 TCB, 1 Hermite, 2 1D Bezier, 3 linear, 4 stepped, 5 2D Bezier) and its six
// parameters as the "Key" line holds them.
struct LwscKey {
  double value = 0;
  double time = 0;
  std::uint32_t shape = 0;
  std::array<double, 6> params{};
};

struct LwscChannel {
  std::vector<LwscKey> keys;
  std::uint32_t pre = 1;  // constant
  std::uint32_t post = 1;
};

// An item's channels in channel order (position x, y, z; heading, pitch, bank; scale x, y,
// z). LWSC 3 and later write each as a "Channel" envelope. LWSC 1 writes key i of every
// channel as one key, at channel 0's key time in frames, linear when that key's shape is 3,
// with that key's first three parameters as tension, continuity and bias, and channels left
// out at rest; its channels must have as many keys as channel 0. Values are written as
// given: rotations in radians for LWSC 3 and later, in degrees for LWSC 1.
using LwscMotion = std::vector<LwscChannel>;

// One key a channel at time 0.
LwscMotion lwscStill(const std::array<double, kLwscChannels>& values);

// A setting: a plain number, or an envelope when it has keys (LWSC 1 writes one as above).
struct LwscValue {
  double plain = 0;
  LwscChannel envelope;

  LwscValue() = default;
  // Implicit, so a setting can be given as a number or as keys alike.
  LwscValue(double value) : plain(value) {}
  LwscValue(LwscChannel keys) : envelope(std::move(keys)) {}
};

// What every item has. `parent` and `target` are indices into the objects, written from 1
// ("ParentObject") in LWSC 1 and as item ids ("ParentItem 1000000A") later. `extra` is
// written as it stands after the item's own lines.
struct LwscItem {
  LwscMotion motion;
  std::optional<std::uint32_t> parent;
  std::optional<std::uint32_t> target;
  std::optional<std::array<double, 3>> pivot;
  std::string extra;
};

// An object file ("LoadObject", or from LWSC 3 on "LoadObjectLayer" when it has a layer),
// or a null named `name`.
struct LwscObject {
  std::string name;
  bool null = false;
  std::optional<std::uint32_t> layer;
  LwscItem item;
};

struct LwscLight {
  std::string name = "Light";
  LwscItem item;
  std::array<double, 3> color{1, 1, 1};  // from 0 to 1; LWSC 1 writes it to 255
  LwscValue intensity{1.0};
  std::uint32_t type = 0;     // 0 distant, 1 point, 2 spot, 3 linear, 4 area
  LwscValue coneAngle{30.0};  // spot lights; a plain angle in degrees
};

struct LwscCamera {
  std::string name = "Camera";
  LwscItem item;
  LwscValue zoom{3.2};
};

struct LwscScene {
  std::uint32_t version = 3;  // 1, or 3 to 5; from 4 on items are added with their ids
  std::int32_t firstFrame = 1;
  std::int32_t lastFrame = 60;
  double framesPerSecond = 30;
  std::vector<LwscObject> objects;
  std::vector<LwscLight> lights;
  std::vector<LwscCamera> cameras{LwscCamera{}};  // LWSC 1 writes the first only
  std::optional<std::uint32_t> currentCamera;
  std::array<double, 3> ambientColor{1, 1, 1};
  LwscValue ambientIntensity{0.25};
  std::uint32_t fogType = 0;
  LwscValue fogMinDistance{0.0};
  LwscValue fogMaxDistance{1.0};
  std::array<double, 3> fogColor{0, 0, 0};
  std::array<double, 3> backdropColor{0, 0, 0};
};

// The whole file. Throws common::Error for a version it does not write, and for an LWSC 1
// motion whose channels do not share their keys.
std::string writeLightWaveScene(const LwscScene& scene);

}  // namespace tessarine::formats
