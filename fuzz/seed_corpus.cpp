// Writes the hand-made seed inputs of the three fuzz targets into <directory>/<target>/:
// small well-formed files that between them reach every branch of each reader's format.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "formats/lwo2_writer.h"
#include "formats/lws_writer.h"
#include "formats/tga_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace tessarine::formats;

void writeSeed(const fs::path& directory, std::string_view name, const std::string& bytes) {
  fs::create_directories(directory);
  std::ofstream out(directory / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Two keys, so both the spline and the linear span are reached.
LwsMotion twoKeys(float x) {
  LwsMotionKey first;
  first.values[kLwsX] = x;
  LwsMotionKey second = first;
  second.frame = 30;
  second.values[kLwsHeading] = 90;
  second.linear = true;
  second.tension = 0.5f;
  return {first, second};
}

LwsEnvelope rampEnvelope(float from, float to) {
  LwsEnvelopeKey first{{from}, 0};
  LwsEnvelopeKey second{{to}, 60};
  second.continuity = -0.5f;
  return {first, second};
}

void writeSceneSeeds(const fs::path& directory) {
  // The object file name is the one the scene target places beside its input.
  LwsScene full;
  full.objects.push_back({"ship.lwo", "", twoKeys(0), std::nullopt});
  full.objects.push_back({"", "Pivot", twoKeys(1), std::nullopt});
  full.objects.push_back({"ship.lwo", "", twoKeys(2), 1});
  LwsLight spot;
  spot.motion = twoKeys(3);
  spot.type = LwsLightType::kSpot;
  spot.coneAngle = rampEnvelope(10, 40);
  spot.parent = 0;
  LwsLight distant;
  distant.motion = twoKeys(4);
  distant.type = LwsLightType::kDistant;
  distant.intensity = rampEnvelope(0, 1);
  full.lights = {spot, distant};
  full.camera.motion = twoKeys(5);
  full.camera.parent = 1;
  full.camera.zoom = rampEnvelope(2, 4);
  full.camera.focalDistance = LwsValue(rampEnvelope(0, 0.1f));
  full.ambientIntensity = rampEnvelope(0.1f, 0.5f);
  full.fogMinDistance = rampEnvelope(10, 20);
  full.fogMaxDistance = 300.0f;
  writeSeed(directory, "full.lws", writeLws(full));

  LwsScene plain;
  plain.camera.motion = twoKeys(0);
  LwsLight point;
  point.motion = twoKeys(1);
  plain.lights.push_back(point);
  writeSeed(directory, "plain.lws", writeLws(plain));

  // The bare minimum, with the quirks of the token loop: an unknown keyword skipped, the
  // object part's odd consumed word, LockedChannels before ParentObject.
  writeSeed(directory, "minimal.lws",
            "LWSC\n1\n\nFramesPerSecond 25\nUnknownKeyword 3\n"
            "AddNull Root\nShowObject 6 7\nObjectMotion\n(unnamed)\n9\n1\n0 0 0 0 0 0 1 1 1\n0 0 0 0 0\n"
            "EndBehavior 1\nLockedChannels 0\nShadowOptions 7\n"
            "AddNull Child\nShowObject 6 7\nObjectMotion\n(unnamed)\n9\n1\n0 1 0 0 0 0 1 1 1\n0 0 0 0 0\n"
            "EndBehavior 1\nLockedChannels 0\nParentObject 0\n"
            "CameraMotion\n(unnamed)\n9\n1\n0 0 -5 0 0 0 1 1 1\n0 0 0 0 0\nEndBehavior 1\nZoomFactor 3.2\n");
}

void writeObjectSeeds(const fs::path& directory) {
  ObjectData triangle;
  triangle.points = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  triangle.uvs = {{0, 0}, {0, 1}, {1, 1}};
  triangle.polygons = {{0, 1, 2}};
  writeSeed(directory, "triangle.lwo", writeLwo2(triangle));

  // A quad, a line (two points) and a degenerate face, with an image clip named.
  ObjectData mixed;
  mixed.points = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {2, 2, 2}};
  mixed.uvs = {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0.5f, 0.5f}};
  mixed.polygons = {{0, 1, 2, 3}, {3, 4}, {0, 0, 0}};
  mixed.surfaceName = "Hull";
  mixed.imageFile = "ship.tga";
  writeSeed(directory, "mixed.lwo", writeLwo2(mixed));

  ObjectData empty;
  writeSeed(directory, "empty.lwo", writeLwo2(empty));
}

void writeImageSeeds(const fs::path& directory) {
  TgaImage rgb{3, 2, 24, std::vector<std::uint8_t>(3 * 2 * 3, 0x40)};
  writeSeed(directory, "rgb.tga", writeTga(rgb));
  TgaImage rgba{2, 2, 32, std::vector<std::uint8_t>(2 * 2 * 4, 0xC0)};
  writeSeed(directory, "rgba_with_id.tga", writeTga(rgba, "seed"));
  TgaImage grey{2, 1, 8, std::vector<std::uint8_t>(2, 0x10)};
  writeSeed(directory, "grey.tga", writeTga(grey));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
    return 2;
  }
  fs::path root = argv[1];
  writeSceneSeeds(root / "scene");
  writeObjectSeeds(root / "lwo2");
  writeImageSeeds(root / "tga");
  return 0;
}
