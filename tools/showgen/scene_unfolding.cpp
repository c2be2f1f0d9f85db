// S5, unfolding: the tesseract's eight cells, folded into a cluster, open out on the
// music's phrases into its net (a column of four cubes with four more around the second),
// fold up again as the closing plates rise, and everything fades to black through the
// fog and the ambient light before the show starts over.
#include <algorithm>
#include <cmath>

#include "showgen/mesh_makers.h"
#include "showgen/storyboard.h"
#include "showgen/texture_makers.h"
#include "timeline/timeline.h"

namespace tessarine::showgen {
namespace {

constexpr double kCellSize = 2.1;
constexpr double kBar = timeline::kSecondsPerBar;
// The net opens from bar 2 to bar 7, stays open for two bars, and folds up again from
// bar 9 while the plates rise.
constexpr double kOpenStart = 2 * kBar, kOpenEnd = 7 * kBar;
constexpr double kCloseStart = 9 * kBar, kCloseEnd = 11 * kBar;
constexpr double kPlatesStart = kCloseStart;
constexpr double kFadeStart = 26.5;
constexpr double kFoldedDegrees = 90;
constexpr std::uint32_t kHingeStep = 3;

// A cell of the net: the cell it hangs from (-1: the root null), where its hinge lies on
// that cell (in cell units from its centre), the channel it turns by about that hinge,
// the way it turns when folded, and where its centre lies from the hinge.
struct Cell {
  int parent;
  Vec3 hinge;
  int channel;
  double foldSign;
  Vec3 centre;
  int openOrder;  // its turn in the unfolding, 0 first
};
// Cell 0 is the second of the column; 1 and 2 above it, 3 below, 4 to 7 around it. Each
// hinge is an edge of the face it shares with its parent.
const Cell kCells[8] = {
    {-1, {0, 0, 0}, formats::kLwsPitch, 0, {0, 0, 0}, 0},
    {0, {0, 0.5, 0.5}, formats::kLwsPitch, -1, {0, 0.5, -0.5}, 5},
    {1, {0, 0.5, -0.5}, formats::kLwsPitch, 1, {0, 0.5, 0.5}, 6},
    {0, {0, -0.5, 0.5}, formats::kLwsPitch, 1, {0, -0.5, -0.5}, 0},
    {0, {0.5, 0.5, 0}, formats::kLwsBank, 1, {0.5, -0.5, 0}, 1},
    {0, {-0.5, 0.5, 0}, formats::kLwsBank, -1, {-0.5, -0.5, 0}, 2},
    {0, {0, 0.5, 0.5}, formats::kLwsPitch, 1, {0, -0.5, 0.5}, 3},
    {0, {0, 0.5, -0.5}, formats::kLwsPitch, -1, {0, -0.5, -0.5}, 4},
};
constexpr int kOpenSteps = 7;

// How far cell `order` has opened at `t`, 0 folded to 1 flat: one step each on the
// way out, cells taking turns; half a step each on the way back, last out first in.
double opened(int order, double t) {
  const double step = (kOpenEnd - kOpenStart) / kOpenSteps;
  double from = kOpenStart + order * step;
  double out = smoothstep(from, from + step, t);
  const double back = (kCloseEnd - kCloseStart) / kOpenSteps;
  double closeFrom = kCloseStart + (kOpenSteps - 1 - order) * back;
  return out * (1 - smoothstep(closeFrom, closeFrom + back, t));
}

// Whether the net is open at all: the frame settles while it is.
double openness(double t) { return smoothstep(kOpenStart, kOpenEnd, t) * (1 - smoothstep(kCloseStart, kCloseEnd, t)); }

std::string cellObject(Show& show) {
  const std::string name = "cell.lwo";
  if (!show.hasObject(name)) {
    // Glowing edges around a deep blue pane, so every cube reads by its outline.
    constexpr int kSide = 64;
    Canvas texture(kSide, kSide, {0.1f, 0.18f, 0.45f, 1});
    paintNoise(texture, 51, NoiseKind::kPerlin, 4, 3, {0.3f, 0.5f, 0.9f, 1}, 0.5);
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        int edge = std::min(std::min(x, kSide - 1 - x), std::min(y, kSide - 1 - y));
        if (edge < 6) texture.blend(x, y, {1.0f, 0.8f, 0.4f, 1}, edge < 3 ? 1.0f : 0.5f);
      }
    }
    show.addObject(name, makeBox(imageNameFor(name), {1, 1, 1}), std::move(texture), false);
  }
  return name;
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

  // The folded cells tumble as the tesseract did in S2, settle facing the camera while
  // the net is open, then draw back as the closing plates come, to stand between them.
  std::uint32_t root = appendObject(
      scene, nullItem("Net", sampleMotion(
                                 [](double t) {
                                   Placement p;
                                   double settle = 1 - openness(t);
                                   p.heading = (24 * t + 20) * settle + 25 * std::sin(0.2 * t);
                                   p.pitch = 20 * std::sin(0.21 * t) * settle - 15;
                                   p.bank = 10 * std::sin(0.17 * t) * settle;
                                   p.position = {0, 0.4 * smoothstep(kPlatesStart - 1, kPlatesStart + 3, t),
                                                 8 * smoothstep(kPlatesStart - 1, kPlatesStart + 3, t)};
                                   p.scale = {kCellSize, kCellSize, kCellSize};
                                   return p;
                                 },
                                 last, 10, fps)));
  // Each cell hangs from a hinge null on its parent cell, which turns it out of the fold.
  const std::string cell = cellObject(show);
  std::uint32_t cellItems[8];
  for (int i = 0; i < 8; ++i) {
    const Cell& c = kCells[i];
    if (c.parent < 0) {
      Placement centre;
      // The column's middle at the root, so the open net turns about its own centre.
      centre.position = {0, -0.5, 0};
      cellItems[i] = appendObject(scene, objectItem(cell, stillMotion(centre), root));
      continue;
    }
    formats::LwsMotion turn = sampleMotion(
        [&c](double t) {
          Placement p;
          p.position = c.hinge;
          double angle = c.foldSign * kFoldedDegrees * (1 - opened(c.openOrder, t));
          (c.channel == formats::kLwsBank ? p.bank : p.pitch) = angle;
          return p;
        },
        last, kHingeStep, fps);
    std::uint32_t hinge = appendObject(scene, nullItem("Hinge" + std::to_string(i), std::move(turn),
                                                       cellItems[c.parent]));
    Placement offset;
    offset.position = c.centre;
    cellItems[i] = appendObject(scene, objectItem(cell, stillMotion(offset), hinge));
  }

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
