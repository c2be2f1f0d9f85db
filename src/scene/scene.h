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

#include "anim/item_motion.h"
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

// How an item's channels make its transform, and the camera's zoom its field of view.
enum class TransformRule {
  // The show's own: its scenes were authored against this order of turns, a camera parent
  // chain undone root first, and its zoom rule.
  kShow,
  // LightWave's: move, heading, pitch, bank, scale about the pivot; the camera's true inverse;
  // items facing their targets.
  kLightWave,
};

using Vector3 = std::array<float, 3>;

// Where a LightWave scene's item was given by name: its name as written, and what became of it.
struct ItemSource {
  std::string name;                    // as the file writes it: the object file's, or the null's own
  bool null = false;                   // a null: its name names no file
  std::optional<std::uint32_t> layer;  // "LoadObjectLayer": the one layer of the object used
  std::optional<std::string> file;     // the object file read
  std::optional<std::string> missing;  // the name of an object file not found or not read
};

struct SceneObject {
  const SceneObject* parent = nullptr;
  mesh::Mesh* mesh = nullptr;  // none for a null; shared through the mesh library
  std::unique_ptr<anim::ItemMotion> motion;
  std::int32_t parentIndex = kNoParent;
  // LightWave scenes only.
  std::int32_t targetIndex = kNoParent;
  const SceneObject* target = nullptr;
  Vector3 pivot{};
  ItemSource source;
};

struct SceneCamera {
  std::int32_t parentIndex = kNoParent;
  const SceneObject* parent = nullptr;
  std::unique_ptr<anim::ItemMotion> motion;
  std::optional<float> zoomFactor;
  std::unique_ptr<anim::ValueEnvelope> zoomEnvelope;
  std::int32_t targetIndex = kNoParent;
  const SceneObject* target = nullptr;
  Vector3 pivot{};
};

struct SceneLight {
  explicit SceneLight(anim::ItemMotion motion) : motion(std::move(motion)) {}

  std::optional<float> coneAngle;
  std::unique_ptr<anim::ValueEnvelope> coneEnvelope;
  std::uint32_t lightType = kPoint;
  unsigned glLight = kGlLight0;
  std::int32_t parentIndex = kNoParent;
  const SceneObject* parent = nullptr;
  anim::ItemMotion motion;
  Color4 color{0, 0, 0, 1};
  std::optional<float> intensity;
  std::unique_ptr<anim::ValueEnvelope> intensityEnvelope;
  // LightWave scenes only.
  std::string name;
  // A spot light's soft edge, degrees inside its cone over which it fades out.
  float edgeAngle = 0;
  // How the light weakens with distance, as OpenGL's constant, linear and quadratic
  // attenuation take it; 1, 0, 0: not at all.
  std::array<float, 3> attenuation{1, 0, 0};
  std::int32_t targetIndex = kNoParent;
  const SceneObject* target = nullptr;
  Vector3 pivot{};
};

struct Scene {
  // Reads `fileName` from the context's data directory. Throws common::Error; a file
  // without "FramesPerSecond", "CameraMotion" or a zoom value, or whose parents name no
  // object or form a cycle, is refused.
  Scene(DemoContext& context, std::string fileName, float nearPlane);
  // Reads the scene text `text` as the file `fileName`, which messages name. Objects are
  // still read from the context's data directory.
  Scene(DemoContext& context, std::string fileName, std::span<const std::byte> text, float nearPlane);
  // An empty scene that another reader fills: a LightWave scene read as LightWave writes it,
  // or the view of one object.
  Scene(DemoContext& context, std::string fileName, float nearPlane, TransformRule rule)
      : context(&context), fileName(std::move(fileName)), nearPlane(nearPlane), rule(rule) {}
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
  std::unique_ptr<anim::ValueEnvelope> ambientIntensityEnvelope;
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
  std::unique_ptr<anim::ValueEnvelope> fogMinEnvelope;
  std::unique_ptr<anim::ValueEnvelope> fogMaxEnvelope;
  float nearPlane;
  std::optional<Color4> fogColor;
  std::optional<Color3> backdropColor;
  float shakeAmplitude = 0;
  std::unique_ptr<anim::ValueEnvelope> shakeEnvelope;

  TransformRule rule = TransformRule::kShow;
  // False for a LightWave scene whose fog is off: no fog is drawn, and the view reaches further.
  bool fogged = true;
  // LightWave scenes only: the "LWSC" version; the lights beyond the eight OpenGL has, left
  // dark (the eight that light the most are kept); what the file uses that the player does
  // not play, a short phrase each, once.
  std::uint32_t version = 1;
  std::size_t lightsLeftOut = 0;
  std::vector<std::string> leftOut;
};

}  // namespace tessarine::scene
