// Writes LightWave 5.6 text scene files: the header, the scene-wide settings, objects,
// nulls, lights and the camera with their motion and envelope sections, laid out as a
// modeller writes them, including the neighbouring keywords the player passes over.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessarine::formats {

inline constexpr std::size_t kLwsChannels = 9;
// The player drives eight OpenGL lights at most.
inline constexpr std::size_t kLwsMaxLights = 8;
// Tokens (names, file names) are read into buffers of 128 characters.
inline constexpr std::size_t kLwsMaxToken = 127;

// Channels of a motion key, in file order.
enum LwsChannel { kLwsX, kLwsY, kLwsZ, kLwsHeading, kLwsPitch, kLwsBank, kLwsScaleX, kLwsScaleY, kLwsScaleZ };

// A key's values when none are given: 0, and for a motion an item at unit scale.
template <std::size_t kChannelCount>
inline constexpr std::array<float, kChannelCount> kLwsRestValues{};
template <>
inline constexpr std::array<float, kLwsChannels> kLwsRestValues<kLwsChannels>{0, 0, 0, 0, 0, 0, 1, 1, 1};

// A key of a motion (position x, y, z; heading, pitch, bank in degrees; scale x, y, z)
// or of an envelope (its one value).
template <std::size_t kChannelCount>
struct LwsKey {
  std::array<float, kChannelCount> values = kLwsRestValues<kChannelCount>;
  std::uint32_t frame = 0;
  bool linear = false;  // the span that ends at this key is a straight line
  float tension = 0;
  float continuity = 0;
  float bias = 0;
};

using LwsMotionKey = LwsKey<kLwsChannels>;
using LwsEnvelopeKey = LwsKey<1>;
using LwsMotion = std::vector<LwsMotionKey>;
using LwsEnvelope = std::vector<LwsEnvelopeKey>;

// A setting that is either a plain number or, when it has keys, an envelope.
struct LwsValue {
  float plain = 0;
  LwsEnvelope envelope;

  LwsValue() = default;
  // Implicit, so a setting can be given as a number or as keys alike.
  LwsValue(float value) : plain(value) {}
  LwsValue(LwsEnvelope keys) : envelope(std::move(keys)) {}
  bool enveloped() const { return !envelope.empty(); }
};

using LwsColor = std::array<int, 3>;  // 0 to 255

// An object with a mesh ("LoadObject"), or a null ("AddNull") when `objectFile` is empty.
struct LwsObject {
  std::string objectFile;
  std::string nullName = "Null";
  LwsMotion motion;
  std::optional<std::uint32_t> parent;  // index into the scene's objects (nulls count)
};

enum class LwsLightType : std::uint32_t { kDistant = 0, kPoint = 1, kSpot = 2 };

struct LwsLight {
  std::string name = "Light";
  LwsMotion motion;
  std::optional<std::uint32_t> parent;
  LwsColor color{255, 255, 255};
  LwsValue intensity{1.0f};
  LwsLightType type = LwsLightType::kPoint;
  LwsValue coneAngle{30.0f};  // degrees; written for spot lights only
  float edgeAngle = 5;
};

struct LwsCamera {
  LwsMotion motion;
  std::optional<std::uint32_t> parent;
  LwsValue zoom{3.2f};
  // "FocalDistance": the player shakes the camera by this amplitude; none: no shake.
  std::optional<LwsValue> focalDistance;
};

struct LwsScene {
  std::uint32_t firstFrame = 0;
  std::uint32_t lastFrame = 60;
  float framesPerSecond = 30;
  std::vector<LwsObject> objects;
  std::vector<LwsLight> lights;
  LwsCamera camera;
  LwsColor ambientColor{255, 255, 255};
  LwsValue ambientIntensity{0.25f};
  LwsColor backdropColor{0, 0, 0};
  LwsValue fogMinDistance{0.0f};
  LwsValue fogMaxDistance{1000.0f};
  LwsColor fogColor{0, 0, 0};
};

// The whole file. Throws common::Error for a scene the player could not read back:
// a motion or envelope without keys or with frames out of order, a parent index that
// names no object, more than kLwsMaxLights lights, an empty name or one with blanks.
std::string writeLws(const LwsScene& scene);

// A number as the scene file holds it: fixed point, six decimals at most, trailing zeros
// dropped, never "-0".
std::string formatLwsNumber(float value);

}  // namespace tessarine::formats
