// S2, hypercube: a tesseract turning in four dimensions, coloured lights orbiting it on a
// chain of three nulls, the ambient light pulsing with the beat.
#include <algorithm>
#include <cmath>

#include "showgen/storyboard.h"

namespace tessarine::showgen {
namespace {

constexpr double kTesseractSize = 1.8;
// One turn in the x-w plane every four bars.
constexpr double kSecondsPerTurn = 8;
// Tesseract keys every few frames: a 4.5 degree step of the 4D turn, which the spline
// follows closely.
constexpr std::uint32_t kTesseractStep = 3;

}  // namespace

void addHypercube(Show& show) {
  const std::uint32_t last = lastFrameOf(kHypercube);
  const double fps = framesPerSecond();
  formats::LwsScene scene = sceneFrame(kHypercube);

  // The tesseract's own frame tumbles slowly in 3D while it turns in 4D.
  formats::LwsMotion tumble = sampleMotion(
      [](double t) {
        Placement p;
        p.heading = 9 * t;
        p.pitch = 20 * std::sin(0.21 * t);
        return p;
      },
      last, 15, fps);
  addTesseractItems(
      scene, show, [](double t) { return turningTesseract(2 * kPi * t / kSecondsPerTurn, kTesseractSize); },
      std::move(tumble), last, kTesseractStep);

  // The light rig: each null turns in its own plane and carries the next.
  std::uint32_t orbitA = appendObject(scene, nullItem("OrbitA", spinMotion({}, formats::kLwsHeading, 36, last)));
  Placement b;
  b.position = {6.5, 0, 0};
  std::uint32_t orbitB = appendObject(scene, nullItem("OrbitB", spinMotion(b, formats::kLwsPitch, 55, last), orbitA));
  Placement c;
  c.position = {0, 0, 2.5};
  std::uint32_t orbitC = appendObject(scene, nullItem("OrbitC", spinMotion(c, formats::kLwsBank, -120, last), orbitB));

  struct Lamp {
    const char* name;
    std::uint32_t parent;
    Vec3 offset;
    formats::LwsColor color;
  };
  const Lamp lamps[3] = {
      {"Red", orbitA, {0, 2, 7}, {255, 60, 50}},
      {"Green", orbitB, {0, 3, 0}, {60, 255, 120}},
      {"Blue", orbitC, {1.5, 0, 0}, {70, 110, 255}},
  };
  for (const Lamp& lamp : lamps) {
    formats::LwsLight light;
    light.name = lamp.name;
    light.parent = lamp.parent;
    light.color = lamp.color;
    light.intensity = 1.0f;
    Placement p;
    p.position = lamp.offset;
    light.motion = stillMotion(p);
    scene.lights.push_back(light);
  }
  formats::LwsLight key;
  key.name = "Key";
  key.color = {255, 245, 230};
  key.intensity = 0.45f;
  Placement keyPlace;
  keyPlace.position = {5, 9, -12};
  key.motion = stillMotion(keyPlace);
  scene.lights.push_back(key);

  // Every beat lifts the ambient light; the bar's first beat lifts it most.
  std::vector<std::pair<std::uint32_t, double>> pulses;
  std::vector<std::uint32_t> accents = accentFrames(kHypercube);
  for (std::uint32_t frame : beatFrames(kHypercube)) {
    bool accent = std::find(accents.begin(), accents.end(), frame) != accents.end();
    pulses.push_back({frame, accent ? 0.55 : 0.32});
  }
  scene.ambientColor = {120, 140, 255};
  scene.ambientIntensity = pulseEnvelope(pulses, 0.12, 10, last);
  scene.backdropColor = {8, 10, 28};
  scene.fogColor = {8, 10, 28};
  scene.fogMinDistance = 14.0f;
  scene.fogMaxDistance = 45.0f;

  scene.camera.zoom = 1.5f;
  scene.camera.motion = sampleMotion(
      [](double t) {
        Placement p;
        double angle = 0.16 * t;
        double distance = 10 - 1.5 * std::sin(0.3 * t);
        p.position = {distance * std::sin(angle), 2 + 1.5 * std::sin(0.23 * t), -distance * std::cos(angle)};
        Angles aim = aimAngles(-p.position);
        p.heading = aim.heading;
        p.pitch = aim.pitch;
        return p;
      },
      last, 15, fps);
  show.addScene({sceneFile(kHypercube), std::move(scene)});
}

}  // namespace tessarine::showgen
