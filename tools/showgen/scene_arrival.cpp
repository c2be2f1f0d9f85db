// S1, arrival: out of black down a tunnel of turning rings, lights racing ahead, until
// the title rises in front of the camera.
#include <cmath>

#include "showgen/mesh_makers.h"
#include "showgen/random.h"
#include "showgen/storyboard.h"
#include "showgen/texture_makers.h"

namespace tessarine::showgen {
namespace {

constexpr int kRingCount = 56;
constexpr double kRingSpacing = 6;
constexpr double kRingRadius = 4;

// The camera slows from 14 to 6 units a second down the tunnel's axis.
double cameraZ(double t) { return -4 + 14 * t - 0.2 * t * t; }

// The title travels with the camera, 14 units ahead, rising into the middle of the view.
double titleRise(double t) { return smoothstep(11.5, 15.5, t); }

std::string ringMesh(Show& show) {
  const std::string name = "ring.lwo";
  if (!show.hasObject(name)) {
    Canvas texture(128, 128);
    paintGradient(texture, {0.35f, 0.4f, 0.5f, 1}, {0.85f, 0.9f, 1.0f, 1}, true);
    paintNoise(texture, 1, NoiseKind::kPerlin, 4, 4, {0.15f, 0.2f, 0.35f, 1}, 0.6);
    // Bright bands across the tube show the ring's turning.
    for (int y = 0; y < 128; ++y) {
      for (int x = 0; x < 128; x += 32) {
        for (int w = 0; w < 4; ++w) texture.blend(x + w, y, {1.0f, 0.85f, 0.5f, 1}, 0.8f);
      }
    }
    show.addObject(name, makeRing(imageNameFor(name), kRingRadius, 0.35, 24, 6), std::move(texture), false);
  }
  return name;
}

}  // namespace

void addArrival(Show& show) {
  const std::uint32_t last = lastFrameOf(kArrival);
  const double fps = framesPerSecond();
  formats::LwsScene scene = sceneFrame(kArrival);
  std::string ring = ringMesh(show);
  std::string title = titlePlate(show);

  Random random(101);
  for (int i = 0; i < kRingCount; ++i) {
    double z = i * kRingSpacing;
    double startBank = random.uniform(0, 360);
    double spin = random.uniform(40, 120) * (random.uniform() < 0.5 ? -1 : 1);
    double wobble = random.uniform(4, 10), rate = random.uniform(0.6, 1.4), phase = random.uniform(0, 2 * kPi);
    scene.objects.push_back(objectItem(
        ring, sampleMotion(
                  [=](double t) {
                    Placement p;
                    p.position = {0, 0, z};
                    p.heading = wobble * std::sin(rate * t + phase);
                    p.pitch = wobble * 0.5 * std::cos(rate * 1.3 * t + phase);
                    p.bank = startBank + spin * t;
                    return p;
                  },
                  last, 10, fps)));
  }
  // Drawn last, so its clear parts blend over the rings behind it.
  scene.objects.push_back(objectItem(
      title, sampleMotion(
                 [](double t) {
                   Placement p;
                   p.position = {0, -14 + 14.6 * titleRise(t), cameraZ(t) + 14};
                   return p;
                 },
                 last, 6, fps)));

  scene.ambientColor = {140, 150, 255};
  scene.ambientIntensity = 0.18f;
  scene.backdropColor = {0, 0, 0};
  scene.fogColor = {0, 0, 0};
  scene.fogMinDistance = 0.0f;
  // Out of black: the fog opens from a few units to well past the far rings.
  scene.fogMaxDistance = linearEnvelope({{0, 2}, {30, 26}, {120, 70}, {240, 130}, {last, 140}});

  // A lamp riding just behind the camera, and three coloured lights racing ahead.
  formats::LwsLight head;
  head.name = "Headlamp";
  head.color = {200, 220, 255};
  head.intensity = 0.8f;
  head.motion = sampleMotion(
      [](double t) {
        Placement p;
        p.position = {0, 1.2, cameraZ(t) - 1};
        return p;
      },
      last, 15, fps);
  scene.lights.push_back(head);
  const formats::LwsColor colors[3] = {{60, 230, 255}, {255, 70, 200}, {255, 180, 40}};
  const char* names[3] = {"Cyan", "Magenta", "Amber"};
  for (int i = 0; i < 3; ++i) {
    formats::LwsLight light;
    light.name = names[i];
    light.color = colors[i];
    light.intensity = 0.9f;
    double phase = i * 2 * kPi / 3;
    light.motion = sampleMotion(
        [=](double t) {
          Placement p;
          // Each circles the axis 8 to 40 units ahead of the camera, surging and falling back.
          double ahead = 24 + 16 * std::sin(0.7 * t + phase);
          p.position = {2.4 * std::cos(1.7 * t + phase), 2.4 * std::sin(1.7 * t + phase), cameraZ(t) + ahead};
          return p;
        },
        last, 5, fps);
    scene.lights.push_back(light);
  }

  scene.camera.zoom = 1.5f;  // a 60 degree view
  scene.camera.motion = sampleMotion(
      [](double t) {
        Placement p;
        p.position = {0, 0, cameraZ(t)};
        p.bank = 12 * std::sin(0.45 * t);
        return p;
      },
      last, 15, fps);
  show.addScene({sceneFile(kArrival), std::move(scene)});
}

}  // namespace tessarine::showgen
