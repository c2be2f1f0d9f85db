// S4, crystal city: a flight down a street of glass towers at night, searchlights
// sweeping with visible beams that open on the beat, lights flashing on the beat; eight
// lights, the most a scene may have. S4b reuses its towers.
#include <algorithm>
#include <cmath>

#include "showgen/mesh_makers.h"
#include "showgen/random.h"
#include "showgen/storyboard.h"
#include "showgen/texture_makers.h"

namespace tessarine::showgen {
namespace {

constexpr int kGridSide = 7;
constexpr double kBlock = 20;
// The street the camera follows runs between the grid's columns at x = 0 and x = 20.
constexpr double kStreetX = 10;

// Down the street, then up over the roofs, turning to look back across the city.
double cameraZ(double t) { return -75 + 5.2 * t; }
double climb(double t) { return smoothstep(10, 22, t); }
Vec3 cameraPosition(double t) { return {kStreetX + 1.2 * std::sin(0.5 * t), 9 + 62 * climb(t), cameraZ(t)}; }

// Heading and pitch that turn an item's +z axis (a spot light's beam) along `d`: the
// player places items by pitch after heading, which sends +z to
// (sin h, -cos h sin p, cos h cos p).
Angles beamAngles(const Vec3& direction) {
  Vec3 d = direction.normalized();
  return {degrees(std::asin(d.x)), degrees(std::atan2(-d.y, d.z))};
}

// Where a searchlight at `at` points its beam at `t`: a spot on the ground sweeping
// over the city.
Placement sweep(const Vec3& at, double phase, double t) {
  Placement p;
  p.position = at;
  Vec3 target{30 * std::sin(0.35 * t + phase), 0, 30 * std::cos(0.27 * t + 1.7 * phase)};
  Angles beam = beamAngles(target - at);
  p.heading = beam.heading;
  p.pitch = beam.pitch;
  return p;
}

// The visible beams: open cones that fade out above the roofs, so they cross the sky
// without filling the street with blended pixels; the lights' pools show where they land.
constexpr double kBeamLength = 60;
constexpr int kBeamSegments = 16;
// The cone angle rests here and opens wider on every beat, hardest on the accents.
constexpr double kConeRest = 8, kConeBeat = 11, kConeAccent = 15;
constexpr std::uint32_t kConeDecayFrames = 10;

// A beam of `color` whose alpha fades from the lamp to nothing at the far end.
std::string beamObject(Show& show, const char* name, const Rgba& color) {
  const std::string file = std::string("beam_") + name + ".lwo";
  if (!show.hasObject(file)) {
    constexpr int kAround = 8, kAlong = 64;
    Canvas texture(kAround, kAlong);
    for (int y = 0; y < kAlong; ++y) {
      double v = (y + 0.5) / kAlong;
      float alpha = static_cast<float>(0.9 * std::sqrt(1 - v));
      for (int x = 0; x < kAround; ++x) texture.at(x, y) = {color[0], color[1], color[2], alpha};
    }
    show.addObject(file, makeCone(imageNameFor(file), 1, 1, kBeamSegments), std::move(texture), true);
  }
  return file;
}

// A searchlight on a mount that sweeps it, with its visible beam hanging from the same
// mount; the beam widens with the light's cone, both keyed on the same frames.
void addSearchBeam(formats::LwsScene& scene, Show& show, const char* name, const Vec3& at, double phase,
                   formats::LwsColor color, std::uint32_t last) {
  std::uint32_t mount = appendObject(
      scene, nullItem(std::string(name) + "Mount",
                      sampleMotion([=](double t) { return sweep(at, phase, t); }, last, 10, framesPerSecond())));
  std::vector<std::uint32_t> accents = accentFrames(kCity);
  std::vector<std::pair<std::uint32_t, double>> pulses;
  for (std::uint32_t frame : beatFrames(kCity)) {
    bool accent = std::find(accents.begin(), accents.end(), frame) != accents.end();
    pulses.push_back({frame, accent ? kConeAccent : kConeBeat});
  }
  formats::LwsEnvelope cone = pulseEnvelope(pulses, kConeRest, kConeDecayFrames, last);

  formats::LwsLight light;
  light.name = name;
  light.type = formats::LwsLightType::kSpot;
  light.color = color;
  light.intensity = 1.0f;
  light.parent = mount;
  light.motion = stillMotion({});
  light.edgeAngle = 3;
  // The beam's width: its rim radius at the cone angle of each key, in straight spans
  // like the cone's own.
  formats::LwsMotion width;
  for (const formats::LwsEnvelopeKey& key : cone) {
    Placement p;
    double r = kBeamLength * std::tan(radians(key.values[0]));
    p.scale = {r, r, kBeamLength};
    formats::LwsMotionKey k = keyOf(p, key.frame);
    k.linear = key.linear;
    width.push_back(k);
  }
  light.coneAngle = std::move(cone);
  scene.lights.push_back(std::move(light));
  const Rgba tint{color[0] / 255.0f, color[1] / 255.0f, color[2] / 255.0f, 1};
  scene.objects.push_back(objectItem(beamObject(show, name, tint), std::move(width), mount));
}

}  // namespace

// The towers of the city on a 7 x 7 grid but for its middle; shared with S4b. Drawn in
// file order with a depth test, so the towers come nearest first along `viewDirection`
// (the way the camera mostly looks) and the ground, which they stand on and hide, last.
std::vector<formats::LwsObject> cityTowers(Show& show, std::uint64_t seed, const Vec3& viewDirection) {
  CityMeshes meshes = cityMeshes(show);
  struct Tower {
    double depth;
    formats::LwsObject item;
  };
  std::vector<Tower> towers;
  Random random(seed);
  for (int gx = 0; gx < kGridSide; ++gx) {
    for (int gz = 0; gz < kGridSide; ++gz) {
      if (gx == kGridSide / 2 && gz == kGridSide / 2) continue;
      int kind = static_cast<int>(random.below(3));
      double s = random.uniform(0.8, 1.25), tall = random.uniform(0.8, 1.5);
      Placement p;
      // Within a block the tower keeps three units off the street.
      p.position = {(gx - kGridSide / 2) * kBlock + random.uniform(-2, 2), 0,
                    (gz - kGridSide / 2) * kBlock + random.uniform(-2, 2)};
      p.heading = random.uniform(0, 60);
      // Scaling x and z alike keeps the heading a plain turn about the upright axis.
      p.scale = {s, s * tall, s};
      towers.push_back({p.position.dot(viewDirection), objectItem(meshes.towers[kind], stillMotion(p))});
    }
  }
  std::stable_sort(towers.begin(), towers.end(), [](const Tower& a, const Tower& b) { return a.depth < b.depth; });
  std::vector<formats::LwsObject> items;
  for (Tower& tower : towers) items.push_back(std::move(tower.item));
  items.push_back(objectItem(meshes.ground, stillMotion({})));
  return items;
}

// A searchlight high above the city sweeping its beam over it.
formats::LwsLight searchlight(const char* name, const Vec3& at, double phase, formats::LwsColor color,
                              std::uint32_t last) {
  formats::LwsLight light;
  light.name = name;
  light.type = formats::LwsLightType::kSpot;
  light.color = color;
  light.intensity = 1.0f;
  light.motion = sampleMotion([=](double t) { return sweep(at, phase, t); }, last, 10, framesPerSecond());
  light.coneAngle = sampleEnvelope([=](double t) { return 16 + 7 * std::sin(0.9 * t + 2 * phase); }, last, 15,
                                   framesPerSecond());
  light.edgeAngle = 3;
  return light;
}

void addCity(Show& show) {
  const std::uint32_t last = lastFrameOf(kCity);
  const double fps = framesPerSecond();
  formats::LwsScene scene = sceneFrame(kCity);
  // The camera looks down the street along +z for the first half, where the towers
  // hide the most of each other.
  scene.objects = cityTowers(show, 404, {0, 0, 1});

  formats::LwsLight moon;
  moon.name = "Moon";
  moon.type = formats::LwsLightType::kDistant;
  moon.color = {140, 160, 255};
  moon.intensity = 0.45f;
  Placement moonPlace;
  moonPlace.position = {0, 300, 0};
  // A distant light shines along its own +z axis: away from the moon, which stands up,
  // ahead and to the left.
  moonPlace.heading = 120;
  moonPlace.pitch = -50;
  moon.motion = stillMotion(moonPlace);
  scene.lights.push_back(moon);

  addSearchBeam(scene, show, "SearchWhite", {-70, 55, -70}, 0.0, {255, 255, 255}, last);
  addSearchBeam(scene, show, "SearchCyan", {70, 55, -70}, 1.6, {80, 240, 255}, last);
  addSearchBeam(scene, show, "SearchViolet", {70, 55, 70}, 3.1, {200, 110, 255}, last);
  addSearchBeam(scene, show, "SearchAmber", {-70, 55, 70}, 4.5, {255, 190, 70}, last);

  // Two lights among the towers flash on every beat, hardest on the accents.
  std::vector<std::uint32_t> accents = accentFrames(kCity);
  const formats::LwsColor flashColors[2] = {{255, 60, 200}, {60, 200, 255}};
  const Vec3 flashPlaces[2] = {{-30, 26, 10}, {40, 30, -20}};
  for (int i = 0; i < 2; ++i) {
    std::vector<std::pair<std::uint32_t, double>> flashes;
    for (std::uint32_t frame : beatFrames(kCity)) {
      bool accent = std::find(accents.begin(), accents.end(), frame) != accents.end();
      // The two take turns on the plain beats and flash together on the accents.
      if (accent || (frame / 15) % 2 == static_cast<std::uint32_t>(i)) flashes.push_back({frame, accent ? 1.6 : 0.9});
    }
    formats::LwsLight flash;
    flash.name = i == 0 ? "FlashMagenta" : "FlashCyan";
    flash.color = flashColors[i];
    flash.intensity = pulseEnvelope(flashes, 0.1, 8, last);
    Placement p;
    p.position = flashPlaces[i];
    flash.motion = stillMotion(p);
    scene.lights.push_back(flash);
  }

  // A lantern carried just above the camera lights the street ahead and, facing every
  // beam's near side, makes the beams glow in their own colour.
  formats::LwsLight lantern;
  lantern.name = "Lantern";
  lantern.color = {255, 235, 210};
  lantern.intensity = 0.8f;
  lantern.motion = sampleMotion(
      [](double t) {
        Placement p;
        p.position = cameraPosition(t) + Vec3{0, 3, 0};
        return p;
      },
      last, 10, fps);
  scene.lights.push_back(lantern);

  scene.ambientColor = {90, 100, 160};
  scene.ambientIntensity = 0.22f;
  scene.backdropColor = {6, 8, 22};
  scene.fogColor = {10, 14, 34};
  scene.fogMinDistance = 40.0f;
  scene.fogMaxDistance = 230.0f;

  scene.camera.zoom = 1.35f;
  scene.camera.motion = sampleMotion(
      [](double t) {
        Placement p;
        p.position = cameraPosition(t);
        p.heading = 15 * std::sin(0.3 * t) + 180 * smoothstep(12, 23, t);
        p.pitch = 8 + 27 * climb(t);
        return p;
      },
      last, 10, fps);
  show.addScene({sceneFile(kCity), std::move(scene)});
}

}  // namespace tessarine::showgen
