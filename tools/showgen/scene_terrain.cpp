// S3, terrain: a low flight down a valley of a generated landscape, the sun low behind,
// the mist lifting, and the camera jolted on every accent.
#include <cmath>

#include "showgen/mesh_makers.h"
#include "showgen/noise.h"
#include "showgen/storyboard.h"
#include "showgen/texture_makers.h"

namespace tessarine::showgen {
namespace {

// Cells over 640 units across (x) and, along the flight (z), from just behind its start
// to the fog's end past its finish: nothing drawn that is never seen. The camera looks
// along z from just above the ground, so a cell's depth shrinks on screen with the square
// of its distance: square cells became rows a pixel or two high that the rasteriser
// shades in whole blocks. Cells three times as long as they are wide keep the ridges'
// outline across the view and cost a tenth less a frame, more where the mist has lifted.
constexpr double kCellX = 6.4, kCellZ = 19.2;
constexpr int kCellsX = 100, kCellsZ = 29;
constexpr double kSizeX = kCellsX * kCellX, kSizeZ = kCellsZ * kCellZ;
constexpr double kNearZ = -224;  // the flight starts at z = -210, looking along +z
constexpr double kMiddleZ = kNearZ + kSizeZ / 2;
constexpr double kCameraClearance = 7;

// The valley the flight follows, as x against z.
double valleyX(double z) { return 35 * std::sin(z / 70) + 12 * std::sin(z / 23 + 1); }

const Noise& landNoise() {
  static const Noise noise(303, 64);
  return noise;
}

double valleyFloor(double x, double z) { return 2.5 * landNoise().fractal(x / 40, z / 40, 2); }

double height(double x, double z) {
  double ridges = 95 * (0.5 + 0.5 * landNoise().fractal(x / 110, z / 110, 5));
  // Flat along the valley, mountains from 12 units to each side on.
  double side = smoothstep(12, 60, std::abs(x - valleyX(z)));
  return valleyFloor(x, z) + ridges * side;
}

// The camera flies from z = -210 to z = 110 over the scene's 24 seconds.
double cameraZ(double t) { return -210 + 13.3 * t; }

Vec3 flightPoint(double t) {
  double z = cameraZ(t), x = valleyX(z);
  return {x, valleyFloor(x, z) + kCameraClearance, z};
}

std::string terrainMesh(Show& show) {
  const std::string name = "terrain.lwo";
  if (!show.hasObject(name)) {
    constexpr int kSide = 512;
    Canvas texture(kSide, kSide);
    const Noise detail(304, 128);
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        // The texture spans the terrain once: u along x, v along z.
        double wx = ((x + 0.5) / kSide - 0.5) * kSizeX, wz = kMiddleZ + ((y + 0.5) / kSide - 0.5) * kSizeZ;
        double h = height(wx, wz);
        double slope = (Vec3{1, height(wx + 1, wz) - h, 0}.cross(Vec3{0, height(wx, wz + 1) - h, 1})).normalized().y;
        double n = detail.fractal(x / 16.0, y / 16.0, 3);
        Rgba grass = mixColor({0.18f, 0.38f, 0.12f, 1}, {0.35f, 0.5f, 0.18f, 1}, 0.5 + 0.5 * n);
        Rgba rock = mixColor({0.38f, 0.33f, 0.28f, 1}, {0.55f, 0.5f, 0.45f, 1}, 0.5 + 0.5 * n);
        Rgba snow{0.92f, 0.94f, 1.0f, 1};
        Rgba c = mixColor(grass, rock, smoothstep(0.9, 0.7, std::abs(slope)) * 0.8 + smoothstep(22, 40, h) * 0.6);
        c = mixColor(c, snow, smoothstep(52, 64, h + 6 * n));
        texture.at(x, y) = c;
      }
    }
    // The mesh is made about its middle and placed there.
    show.addObject(name,
                   makeTerrain(imageNameFor(name), kCellsX, kCellsZ, kSizeX, kSizeZ,
                               [](double x, double z) { return height(x, z + kMiddleZ); }),
                   std::move(texture), false);
  }
  return name;
}

}  // namespace

void addTerrain(Show& show) {
  const std::uint32_t last = lastFrameOf(kTerrain);
  const double fps = framesPerSecond();
  formats::LwsScene scene = sceneFrame(kTerrain);
  Placement middle;
  middle.position = {0, 0, kMiddleZ};
  scene.objects.push_back(objectItem(terrainMesh(show), stillMotion(middle)));

  // The sun, low behind and to the right. A distant light shines along its own +z axis,
  // so that axis points away from the sun.
  formats::LwsLight sun;
  sun.name = "Sun";
  sun.type = formats::LwsLightType::kDistant;
  sun.color = {255, 238, 200};
  sun.intensity = 1.0f;
  Placement sunPlace;
  sunPlace.position = {0, 200, 0};
  sunPlace.heading = -30;
  sunPlace.pitch = 40;
  sun.motion = stillMotion(sunPlace);
  scene.lights.push_back(sun);
  // Sky light from high above, so shaded slopes keep some colour.
  formats::LwsLight sky;
  sky.name = "Sky";
  sky.color = {150, 180, 255};
  sky.intensity = 0.35f;
  Placement skyPlace;
  skyPlace.position = {-300, 900, 100};
  sky.motion = stillMotion(skyPlace);
  scene.lights.push_back(sky);

  scene.ambientColor = {180, 190, 220};
  scene.ambientIntensity = 0.3f;
  scene.backdropColor = {170, 185, 205};
  scene.fogColor = {170, 185, 205};
  // Mist lifting: both fog distances open out over the scene.
  scene.fogMinDistance = sampleEnvelope([](double t) { return 2 + 58 * smoothstep(0, 22, t); }, last, 30, fps);
  scene.fogMaxDistance = sampleEnvelope([](double t) { return 55 + 165 * smoothstep(0, 20, t); }, last, 30, fps);

  // A jolt on every accent, dying away within a beat.
  std::vector<std::pair<std::uint32_t, double>> jolts;
  for (std::uint32_t frame : accentFrames(kTerrain)) jolts.push_back({frame, 0.6});
  scene.camera.focalDistance = formats::LwsValue(pulseEnvelope(jolts, 0, 9, last));

  scene.camera.zoom = 1.4f;
  scene.camera.motion = sampleMotion(
      [](double t) {
        Placement p;
        p.position = flightPoint(t);
        // Look a second and a half ahead along the path, level with it: the sky above
        // the valley is the backdrop, which costs nothing to draw.
        Vec3 ahead = flightPoint(t + 1.5) - p.position;
        Angles aim = aimAngles(ahead);
        p.heading = aim.heading;
        p.pitch = aim.pitch;
        return p;
      },
      last, 10, fps);
  show.addScene({sceneFile(kTerrain), std::move(scene)});
}

}  // namespace tessarine::showgen
