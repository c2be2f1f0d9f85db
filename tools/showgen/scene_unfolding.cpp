// S5, unfolding: the tesseract returns, unfolds into a ring of its sixteen nodes, the
// closing plates rise in front of it, and everything fades to black through the fog
// and the ambient light before the show starts over.
#include <cmath>

#include "showgen/mesh_makers.h"
#include "showgen/storyboard.h"
#include "showgen/tesseract.h"
#include "showgen/texture_makers.h"

namespace tessarine::showgen {
namespace {

constexpr double kTesseractSize = 1.8;
constexpr double kRingRadius = 3.2;
constexpr double kTubeRadius = 1.3;
// Node size on the ring, in the units of a pose's apparent size.
constexpr double kRingNodeScale = 1.6;
constexpr double kUnfoldStart = 6.5, kUnfoldEnd = 13.5;
constexpr double kPlatesStart = 14.5;
constexpr double kFadeStart = 26.5;
constexpr std::uint32_t kTesseractStep = 3;

double unfolding(double t) { return smoothstep(kUnfoldStart, kUnfoldEnd, t); }

TesseractPose unfoldingPose(double t) {
  static const Tesseract tesseract;
  // The 4D turn slows to a stop as the ring forms.
  double angle = 2 * kPi * (t - 0.5 * std::max(0.0, t - kUnfoldStart) * unfolding(t)) / 8;
  TesseractPose turning = turningTesseract(angle, kTesseractSize);
  double s = unfolding(t);
  TesseractPose pose;
  for (int i = 0; i < kTesseractVertices; ++i) {
    Vec3 ring = ringPosition(tesseract.vertex(i), kRingRadius, kTubeRadius);
    pose.positions[i] = lerp(turning.positions[i], ring, s);
    pose.scales[i] = turning.scales[i] + (kRingNodeScale - turning.scales[i]) * s;
  }
  return pose;
}

std::string creditsPlate(Show& show) {
  const std::string name = "credits.lwo";
  if (!show.hasObject(name)) {
    Canvas texture = makeTextPlate(512, 256, {"PICTURES, CODE & MUSIC", "MADE BY THE PROJECT'S", "OWN PROGRAMS"},
                                   {1, 0.95f, 0.8f, 1}, {1.0f, 0.45f, 0.15f, 0.85f}, {1.0f, 0.8f, 0.5f, 1});
    show.addObject(name, makePlate(imageNameFor(name), 8, 4), std::move(texture), true);
  }
  return name;
}

}  // namespace

void addUnfolding(Show& show) {
  const std::uint32_t last = lastFrameOf(kUnfolding);
  const double fps = framesPerSecond(), seconds = secondsOf(kUnfolding);
  formats::LwsScene scene = sceneFrame(kUnfolding);

  // The frame tumbles as in S2, then settles facing the camera and spins the ring
  // about its axis (bank, turned first, so the spin stays about that axis).
  formats::LwsMotion frame = sampleMotion(
      [](double t) {
        Placement p;
        double settle = 1 - unfolding(t);
        p.heading = (9 * t + 20) * settle;
        // The ring tilts back a little, so it reads as a ring rather than as squares.
        p.pitch = 20 * std::sin(0.21 * t) * settle - 30 * unfolding(t);
        p.bank = 14 * std::max(0.0, t - kUnfoldStart) * unfolding(t);
        // It draws back as the closing plates come, to stand between them.
        p.position = {0, 0.4 * smoothstep(kPlatesStart - 1, kPlatesStart + 3, t),
                      8 * smoothstep(kPlatesStart - 1, kPlatesStart + 3, t)};
        return p;
      },
      last, 10, fps);
  addTesseractItems(scene, show, unfoldingPose, std::move(frame), last, kTesseractStep);

  // Lights on two turning nulls.
  std::uint32_t spinA = appendObject(scene, nullItem("SpinA", spinMotion({}, formats::kLwsHeading, 45, last)));
  Placement tilt;
  tilt.pitch = 60;
  std::uint32_t spinB = appendObject(scene, nullItem("SpinB", spinMotion(tilt, formats::kLwsBank, -70, last)));
  struct Lamp {
    const char* name;
    std::uint32_t parent;
    Vec3 offset;
    formats::LwsColor color;
  };
  const Lamp lamps[2] = {{"Gold", spinA, {0, 2, -7}, {255, 190, 80}}, {"Violet", spinB, {6, 0, 0}, {170, 90, 255}}};
  for (const Lamp& lamp : lamps) {
    formats::LwsLight light;
    light.name = lamp.name;
    light.parent = lamp.parent;
    light.color = lamp.color;
    Placement p;
    p.position = lamp.offset;
    light.motion = stillMotion(p);
    scene.lights.push_back(light);
  }
  formats::LwsLight key;
  key.name = "Key";
  key.color = {255, 250, 240};
  key.intensity = 0.55f;
  Placement keyPlace;
  keyPlace.position = {-4, 6, -14};
  key.motion = stillMotion(keyPlace);
  scene.lights.push_back(key);

  // The closing plates rise into place in front of the ring, title above, credits below.
  std::string title = titlePlate(show), credits = creditsPlate(show);
  auto plate = [&](double from, double to, double y) {
    return sampleMotion(
        [=](double t) {
          Placement p;
          p.position = {0, y - 10 * (1 - smoothstep(from, to, t)), -3};
          return p;
        },
        last, 6, fps);
  };
  scene.objects.push_back(objectItem(title, plate(kPlatesStart, kPlatesStart + 3.5, 3.4)));
  scene.objects.push_back(objectItem(credits, plate(kPlatesStart + 3, kPlatesStart + 6.5, -2.3)));

  // Fade to black: fog closes in and the ambient light goes out.
  const std::uint32_t fade = static_cast<std::uint32_t>(kFadeStart * fps);
  scene.backdropColor = {0, 0, 0};
  scene.fogColor = {0, 0, 0};
  scene.fogMinDistance = linearEnvelope({{0, 20}, {fade, 20}, {last, 0}});
  scene.fogMaxDistance = linearEnvelope({{0, 45}, {fade, 45}, {last, 1}});
  scene.ambientColor = {200, 190, 255};
  scene.ambientIntensity = linearEnvelope({{0, 0.25}, {fade, 0.25}, {last, 0}});

  scene.camera.zoom = 1.5f;
  scene.camera.motion = sampleMotion(
      [=](double t) {
        Placement p;
        p.position = {1.5 * std::sin(2 * kPi * t / seconds), 0.6, -12 + 1.5 * smoothstep(0, seconds, t)};
        Angles aim = aimAngles(Vec3{0, 0.3, 0} - p.position);
        p.heading = aim.heading;
        p.pitch = aim.pitch;
        return p;
      },
      last, 15, fps);
  show.addScene({sceneFile(kUnfolding), std::move(scene)});
}

Show buildShow() {
  Show show;
  addArrival(show);
  addHypercube(show);
  addTerrain(show);
  addCity(show);
  addVertigo(show);
  addUnfolding(show);
  return show;
}

}  // namespace tessarine::showgen
