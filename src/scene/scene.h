// One scene file in memory: frame range and rate, global lighting and fog, the camera,
// the objects and the lights, read by the constructor.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "anim/keyed_curve.h"
#include "common/data_file.h"
#include "mesh/mesh.h"
#include "scene/demo_context.h"

namespace tessarine::scene {

using Color3 = std::array<float, 3>;
using Color4 = std::array<float, 4>;

inline constexpr std::uint32_t kMaxLights = 8;
inline constexpr std::int32_t kNoParent = -1;
inline constexpr unsigned kGlLight0 = 0x4000;

enum LightType : std::uint32_t { kDistant = 0, kPoint = 1, kSpot = 2 };

// What a scene uses when its file leaves a plain setting out.
inline constexpr Color4 kDefaultAmbientColor = {0.25f, 0.25f, 0.25f, 1.0f};
inline constexpr Color4 kDefaultFogColor = {0, 0, 0, 1};
inline constexpr Color3 kDefaultBackdropColor = {0, 0, 0};
inline constexpr float kDefaultFogMinDistance = 0;
inline constexpr float kDefaultFogMaxDistance = 1000;

struct SceneObject {
  const SceneObject* parent = nullptr;
  mesh::Mesh* mesh = nullptr;  // none for a null; shared through the mesh library
  std::unique_ptr<anim::Motion> motion;
  std::int32_t parentIndex = kNoParent;
};

struct SceneCamera {
  std::int32_t parentIndex = kNoParent;
  const SceneObject* parent = nullptr;
  std::unique_ptr<anim::Motion> motion;
  std::optional<float> zoomFactor;
  std::unique_ptr<anim::Envelope> zoomEnvelope;
};

struct SceneLight {
  explicit SceneLight(anim::Motion motion) : motion(std::move(motion)) {}

  std::optional<float> coneAngle;
  std::unique_ptr<anim::Envelope> coneEnvelope;
  std::uint32_t lightType = kPoint;
  unsigned glLight = kGlLight0;
  std::int32_t parentIndex = kNoParent;
  const SceneObject* parent = nullptr;
  anim::Motion motion;
  Color4 color{0, 0, 0, 1};
  std::optional<float> intensity;
  std::unique_ptr<anim::Envelope> intensityEnvelope;
};

struct Scene {
  // Reads `fileName` from the context's data directory. Throws common::Error; a file
  // without "FramesPerSecond", "CameraMotion" or a zoom value, or whose parents name no
  // object or form a cycle, is refused.
  Scene(DemoContext& context, std::string fileName, float nearPlane);
  // Reads the scene text `text` as the file `fileName`, which messages name. Objects are
  // still read from the context's data directory.
  Scene(DemoContext& context, std::string fileName, std::span<const std::byte> text, float nearPlane);
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Reads the object part that follows a "LoadObject" or "AddNull" line into the last object.
  void readObjectMotion(common::DataFile& file);

  // Settings with the defaults for what the file left out.
  Color4 effectiveAmbientColor() const { return ambientColor.value_or(kDefaultAmbientColor); }
  Color4 effectiveFogColor() const { return fogColor.value_or(kDefaultFogColor); }
  Color3 effectiveBackdropColor() const { return backdropColor.value_or(kDefaultBackdropColor); }
  float effectiveFogMinDistance() const { return fogMinDistance.value_or(kDefaultFogMinDistance); }
  float effectiveFogMaxDistance() const { return fogMaxDistance.value_or(kDefaultFogMaxDistance); }

  DemoContext* context;
  std::string fileName;
  SceneCamera camera;
  // Colour times the plain intensity with alpha 1; the bare colour when the intensity is enveloped.
  std::optional<Color4> ambientColor;
  std::optional<float> ambientIntensity;
  std::unique_ptr<anim::Envelope> ambientIntensityEnvelope;
  std::vector<SceneObject> objects;  // file order; parents point into it
  std::vector<SceneLight> lights;    // file order; light i is GL_LIGHT0 + i
  Scene* next = nullptr;             // the play list owns the scenes
  double startTime = 0;
  double endTime = 0;
  std::optional<std::uint32_t> firstFrame;
  std::optional<std::uint32_t> lastFrame;
  float framesPerSecond = 0;
  std::optional<float> fogMinDistance;
  std::optional<float> fogMaxDistance;
  std::unique_ptr<anim::Envelope> fogMinEnvelope;
  std::unique_ptr<anim::Envelope> fogMaxEnvelope;
  float nearPlane;
  std::optional<Color4> fogColor;
  std::optional<Color3> backdropColor;
  float shakeAmplitude = 0;
  std::unique_ptr<anim::Envelope> shakeEnvelope;
};

}  // namespace tessarine::scene
