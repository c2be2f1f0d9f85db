// S4b, vertigo: the city from above its tallest tower, a dolly zoom: the camera pulls
// back along its rig while its zoom closes in, so the tower holds its size and the
// streets below stretch away.
#include <cmath>

#include "showgen/storyboard.h"

namespace tessarine::showgen {
namespace {

// The camera's view and the rig's pull-back give this half-height at the subject.
constexpr double kStartDistance = 12;
constexpr double kEndDistance = 62;
constexpr double kStartFieldOfView = 100;  // degrees
const double kSubjectHalfHeight = kStartDistance * std::tan(radians(kStartFieldOfView / 2));

double rigDistance(double t, double seconds) {
  return kStartDistance + (kEndDistance - kStartDistance) * smoothstep(0.5, seconds - 0.5, t);
}

double cameraHeading(double t) { return 25 + 3.5 * t; }

// The zoom factor the player turns into this vertical field of view: 90 / zoom below
// 90 degrees, 90 / sqrt(zoom) from there up.
double zoomForFieldOfView(double fovy) { return fovy < 90 ? 90 / fovy : (90 / fovy) * (90 / fovy); }

}  // namespace

void addVertigo(Show& show) {
  const std::uint32_t last = lastFrameOf(kVertigo);
  const double fps = framesPerSecond(), seconds = secondsOf(kVertigo);
  formats::LwsScene scene = sceneFrame(kVertigo);

  // The player views through the camera's own motion and then its rig's, so the rig's
  // move is taken along the camera's line of sight: back from the pivot the camera
  // turns about.
  std::uint32_t rig = appendObject(scene, nullItem("CameraRig", sampleMotion(
                                                                  [=](double t) {
                                                                    Placement p;
                                                                    p.position = {0, 0, -rigDistance(t, seconds)};
                                                                    return p;
                                                                  },
                                                                  last, 6, fps)));
  // The subject tower, nearest the camera, first; then the city, nearest first along the
  // camera's heading half way through its turn.
  CityMeshes meshes = cityMeshes(show);
  Placement subject;
  subject.scale = {1.2, 2.3, 1.2};
  scene.objects.push_back(objectItem(meshes.towers[2], stillMotion(subject)));
  const double midHeading = radians(cameraHeading(seconds / 2));
  for (formats::LwsObject& item : cityTowers(show, 405, {std::sin(midHeading), 0, std::cos(midHeading)})) {
    scene.objects.push_back(std::move(item));
  }

  formats::LwsLight moon;
  moon.name = "Moon";
  moon.type = formats::LwsLightType::kDistant;
  moon.color = {150, 170, 255};
  moon.intensity = 0.5f;
  Placement moonPlace;
  moonPlace.position = {0, 300, 0};
  // A distant light shines along its own +z axis: away from the moon, which stands up,
  // ahead and to the left.
  moonPlace.heading = 120;
  moonPlace.pitch = -50;
  moon.motion = stillMotion(moonPlace);
  scene.lights.push_back(moon);
  scene.lights.push_back(searchlight("SearchWhite", {-80, 110, -60}, 0.7, {255, 255, 255}, last));
  scene.lights.push_back(searchlight("SearchCyan", {80, 110, -60}, 2.2, {80, 240, 255}, last));
  scene.lights.push_back(searchlight("SearchViolet", {0, 110, 90}, 4.0, {200, 110, 255}, last));
  std::vector<std::pair<std::uint32_t, double>> flashes;
  for (std::uint32_t frame : accentFrames(kVertigo)) flashes.push_back({frame, 1.4});
  formats::LwsLight flash;
  flash.name = "Flash";
  flash.color = {255, 120, 220};
  flash.intensity = pulseEnvelope(flashes, 0.15, 10, last);
  Placement flashPlace;
  flashPlace.position = {-20, 100, -30};
  flash.motion = stillMotion(flashPlace);
  scene.lights.push_back(flash);

  scene.ambientColor = {90, 100, 160};
  scene.ambientIntensity = 0.24f;
  scene.backdropColor = {6, 8, 22};
  scene.fogColor = {10, 14, 34};
  scene.fogMinDistance = 80.0f;
  scene.fogMaxDistance = 330.0f;

  scene.camera.parent = rig;
  scene.camera.zoom = sampleEnvelope(
      [=](double t) {
        double fovy = 2 * degrees(std::atan(kSubjectHalfHeight / rigDistance(t, seconds)));
        return zoomForFieldOfView(fovy);
      },
      last, 6, fps);
  scene.camera.motion = sampleMotion(
      [](double t) {
        Placement p;
        // The pivot: the subject tower's roof, above every other roof.
        p.position = {0, 80, 0};
        p.heading = cameraHeading(t);
        p.pitch = 40;
        return p;
      },
      last, 15, fps);
  show.addScene({sceneFile(kVertigo), std::move(scene)});
}

}  // namespace tessarine::showgen
