// Writes the hand-made seed inputs of the fuzz targets into <directory>/<target>/:
// small well-formed files that between them reach every branch of each reader's format.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/bmp_writer.h"
#include "formats/ilbm_writer.h"
#include "formats/lightwave_object_writer.h"
#include "formats/lightwave_scene_writer.h"
#include "formats/lwo2_writer.h"
#include "formats/lwob_writer.h"
#include "formats/lws_writer.h"
#include "formats/png_jpeg_writer.h"
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

const std::vector<std::array<std::uint8_t, 3>> kPalette = {
    {0x11, 0x22, 0x33}, {0x44, 0x55, 0x66}, {0x77, 0x88, 0x99}, {0xAA, 0xBB, 0xCC}};
// Enough colours for extra-half-brite and for either hold-and-modify.
const std::vector<std::array<std::uint8_t, 3>> kWidePalette(64, kPalette[1]);

// 4 x 3 values from 0 to `count` - 1, so that every plane holds some set bits.
std::vector<std::uint32_t> ramp(std::uint32_t count, std::uint32_t step = 1) {
  std::vector<std::uint32_t> values;
  for (std::uint32_t i = 0; i < 12; ++i) values.push_back(i * step % count);
  return values;
}

IlbmImage ham6() {
  return {.width = 4, .height = 3, .planes = 6, .values = ramp(64, 13), .palette = kWidePalette,
          .viewModes = 0x800, .byteRun1 = true};
}

// Every variant of ILBM the reader knows: planar raw and packed, the mask plane and the
// transparent colour, extra-half-brite, HAM6 and HAM8, deep images, PBM, no colour map.
void writeIlbmSeeds(const fs::path& directory) {
  const std::pair<const char*, IlbmImage> seeds[] = {
      {"planar.iff", {.width = 4, .height = 3, .planes = 2, .values = ramp(4), .palette = kPalette}},
      {"packed_mask.iff", {.width = 4, .height = 3, .planes = 2, .values = ramp(4), .palette = kPalette,
                           .mask = {1, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 0}, .byteRun1 = true}},
      {"transparent.iff",
       {.width = 4, .height = 3, .planes = 2, .values = ramp(4), .palette = kPalette, .transparentColour = 2}},
      {"ehb.iff",
       {.width = 4, .height = 3, .planes = 6, .values = ramp(64, 7), .palette = kWidePalette, .viewModes = 0x80}},
      {"ham6.iff", ham6()},
      {"ham8.iff",
       {.width = 4, .height = 3, .planes = 8, .values = ramp(256, 37), .palette = kWidePalette, .viewModes = 0x800}},
      {"deep24.iff", {.width = 4, .height = 3, .planes = 24, .values = ramp(1u << 24, 0x10203), .byteRun1 = true}},
      {"deep32.iff", {.width = 4, .height = 3, .planes = 32, .values = ramp(0xFFFFFFFFu, 0x1020304)}},
      {"chunky.pbm", {.width = 3, .height = 3, .planes = 8, .values = {0, 1, 2, 3, 3, 3, 3, 1, 0},
                      .palette = kPalette, .byteRun1 = true, .chunky = true}},
      {"grey.iff", {.width = 4, .height = 3, .planes = 1, .values = ramp(2)}},
  };
  for (const auto& [name, image] : seeds) writeSeed(directory, name, writeIlbm(image));
}

// One file of each format and of the variants each decoder tells apart.
void writeAnyImageSeeds(const fs::path& directory) {
  const std::pair<const char*, TgaImage> tgas[] = {
      {"mapped_rle.tga", {.width = 3, .height = 2, .bitsPerPixel = 8, .pixels = {2, 2, 2, 2, 3, 3},
                          .imageType = 9, .colourMap = {3, 2, 1, 6, 5, 4}, .mapFirst = 2}},
      {"rgb16_rle_top.tga", {.width = 2, .height = 2, .bitsPerPixel = 16,
                             .pixels = {0, 0x7C, 0xE0, 0x83, 0xE0, 0x83, 0xE0, 0x83}, .imageType = 10,
                             .descriptor = 0x21}},
      {"grey_alpha.tga", {.width = 2, .height = 1, .bitsPerPixel = 16, .pixels = {0x40, 0x80, 0x41, 0x81},
                          .imageType = 3}},
      {"rgb32.tga", {.width = 2, .height = 1, .bitsPerPixel = 32, .pixels = {1, 2, 3, 4, 5, 6, 7, 8}}},
  };
  for (const auto& [name, image] : tgas) writeSeed(directory, name, writeTga(image));
  writeSeed(directory, "ham6.iff", writeIlbm(ham6()));
  const std::pair<const char*, BmpImage> bmps[] = {
      {"mono.bmp", {.width = 3, .height = 2, .bitsPerPixel = 1, .palette = {kPalette[0], kPalette[1]},
                    .pixels = {0xA0, 0x60}}},
      {"core4.bmp", {.width = 3, .height = 1, .bitsPerPixel = 4, .headerSize = 12, .palette = kPalette,
                     .pixels = {0x20, 0x10}}},
      {"rle8.bmp", {.width = 3, .height = 2, .bitsPerPixel = 8, .compression = 1, .palette = kPalette,
                    .pixels = {2, 1, 0, 0, 0, 3, 2, 1, 0, 0, 0, 1}}},
      {"rle4.bmp", {.width = 4, .height = 2, .bitsPerPixel = 4, .compression = 2, .palette = kPalette,
                    .pixels = {2, 0x12, 0, 2, 1, 0, 1, 0x20, 0, 0, 0, 4, 0x01, 0x20, 0, 1}}},
      {"fields565.bmp", {.width = 2, .height = 1, .bitsPerPixel = 16, .compression = 3,
                         .masks = {0xF800, 0x07E0, 0x001F}, .pixels = {0x00, 0x04, 0x1F, 0xF8}}},
      {"v5_alpha_top.bmp", {.width = 1, .height = -2, .bitsPerPixel = 32, .headerSize = 124, .compression = 3,
                            .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, .pixels = {1, 2, 3, 4, 5, 6, 7, 8}}},
  };
  for (const auto& [name, image] : bmps) writeSeed(directory, name, writeBmp(image));
  writeSeed(directory, "grey.png", writePng(2, 2, PngLayout::kGrey, {0x10, 0x20, 0x30, 0x40}));
  writeSeed(directory, "rgba.png", writePng(2, 1, PngLayout::kRgba, {1, 2, 3, 4, 5, 6, 7, 8}));
  writeSeed(directory, "palette.png", writePng(2, 1, PngLayout::kPalette, {1, 0}, {1, 2, 3, 255, 4, 5, 6, 0}));
  std::vector<std::uint8_t> rgb;
  for (int i = 0; i < 16 * 8; ++i) rgb.insert(rgb.end(), {std::uint8_t(i * 2), std::uint8_t(255 - i), 90});
  writeSeed(directory, "colour.jpg", writeJpeg(16, 8, rgb, false, 50));
  writeSeed(directory, "grey.jpg", writeJpeg(8, 8, std::vector<std::uint8_t>(64, 77), true, 50));
}

// LightWave objects of every format: detail polygons and a texture (LWOB), layers (LWLO),
// the general LWO2 layout with a 4-byte index, and LWO3's nested surface and clip.
void writeLightWaveObjectSeeds(const fs::path& directory) {
  LwobSurface textured{.name = "B", .flags = 4 | 256, .floatDiffuse = 0.5f, .smoothingAngle = 1,
                       .colorTextures = {{.type = "Cylindrical Image Map", .image = "b.iff", .flags = 2}}};
  writeSeed(directory, "lwob.lwo",
            writeLwob({.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
                       .surfaceNames = {"A", "B"},
                       .polygons = {{.face = {{0, 1, 2}, 1}, .details = {{{0, 1}, 2}}}, {.face = {{2}, 2}}},
                       .surfaces = {textured}}));
  const std::string oneFace = std::string("\0\x01\0\0\0\x01", 6);  // 1 point, index 0, surface 1
  writeSeed(directory, "lwlo.lwo",
            objectFile("LWLO", {paddedChunk("LAYR", std::string("\0\x01\0\x01L\0", 6)),
                                paddedChunk("SRFS", std::string("A\0", 2)), pointsChunk({{0, 0, 0}}),
                                paddedChunk("POLS", oneFace)}));
  ImageBlock image{.projection = 5, .axis = 2, .widthWrap = 2, .clip = 1, .uvMap = "UV"};
  SurfaceChunkData surface{.name = "S", .smoothingAngle = 1, .doubleSided = true, .blocks = {image}};
  // A surface that takes its values from its material node.
  const std::string nodeSurface =
      paddedChunk("FORM", "SURF" + surfaceSubChunk("    ", std::string("N\0\0\0", 4), LightWaveLayout::kLwo3) +
                              materialNodes("Standard", {{"Color", {1, 0, 0}}, {"Diffuse", {0.5}}}));
  const std::string longPolygonIndex = "SURF" + std::string("\xFF\0\0\0\0\0", 6);
  writeSeed(directory, "lwo2.lwo",
            objectFile("LWO2", {tagsChunk({"S"}), layerChunk(0, {1, 0, 0}, "A"), pointsChunk({{0, 0, 0}, {1, 0, 0}}),
                                polygonsChunk("FACE", {{0, 1}, {1}}), paddedChunk("PTAG", longPolygonIndex),
                                uvChunk("UV", {{.point = 1, .u = 1}}, false),
                                uvChunk("UV", {{.point = 0, .polygon = 1}}, true), layerChunk(1, {}, "B", 0),
                                pointsChunk({{0, 0, 1}}), polygonsChunk("PTCH", {{0}}), paddedChunk("ENVL", "odd"),
                                clipChunk(1, "a.tga", LightWaveLayout::kLwo2),
                                surfaceChunk(surface, LightWaveLayout::kLwo2)}));
  writeSeed(directory, "lwo3.lwo",
            objectFile("LWO3", {tagsChunk({"S"}), clipChunk(1, "a.tga", LightWaveLayout::kLwo3),
                                layerChunk(0, {}, ""), pointsChunk({{0, 0, 0}}), polygonsChunk("FACE", {{0}}),
                                polygonTagsChunk("SURF", {{0, 0}}), surfaceChunk(surface, LightWaveLayout::kLwo3),
                                nodeSurface}));
}

// LightWave's own scene dialects: LWSC 1 keyed in frames; LWSC 3 with layers, a 2D Bezier
// key, blocks, a plug-in and a bone; LWSC 5 with item ids, two cameras and more lights than
// OpenGL has; and LWSC 2's channel sections with their behaviours.
void writeLightWaveSceneSeeds(const fs::path& directory) {
  LwscMotion moving = lwscStill({0, 1, 0, 0, 0, 0, 1, 1, 1});
  for (LwscChannel& channel : moving) {
    channel.keys.push_back({.value = channel.keys[0].value + 1, .time = 1, .shape = 3, .params = {0.5}});
  }
  const LwscChannel ramp{.keys = {{.value = 0.2}, {.value = 0.8, .time = 2, .params = {0, 0, 0, 0.1, 0.2}}},
                         .pre = 3, .post = 4};
  LwscScene scene{.version = 1, .fogType = 1, .fogMaxDistance = ramp};
  scene.objects = {{.name = "Objects/My Ship.lwo", .item = {.motion = moving}},
                   {.name = "Root", .null = true, .item = {.parent = 0, .target = 0, .pivot = {{0, 1, 0}}}}};
  scene.lights = {{.item = {.parent = 1}, .intensity = ramp, .type = 2, .coneAngle = ramp}, {.type = 1}};
  scene.cameras[0] = {.item = {.motion = moving, .target = 1}, .zoom = ramp};
  writeSeed(directory, "lwsc1.lws", writeLightWaveScene(scene));

  scene.version = 3;
  scene.objects[0].layer = 2;
  scene.objects[0].item.motion[0].keys[1] = {.value = 2, .time = 1, .shape = 5, .params = {-0.3, 0, 0.3, 0.5}};
  scene.objects[1].item.extra =
      "APSDisplay\n{ APS\n  { VParm\n    3\n  }\n}\nPlugin ItemMotionHandler 1 LW_Oscillator\nEndPlugin\n"
      "AddBone\nBoneMotion\nNumChannels 1\nChannel 0\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
  writeSeed(directory, "lwsc3.lws", writeLightWaveScene(scene));

  scene.version = 5;
  for (int i = 0; i < 9; ++i) scene.lights.push_back({.intensity = 0.1 * i, .type = static_cast<std::uint32_t>(i % 5)});
  scene.cameras.push_back({.name = "Second"});
  scene.currentCamera = 1;
  writeSeed(directory, "lwsc5.lws", writeLightWaveScene(scene));

  writeSeed(directory, "lwsc2.lws",
            "LWSC\n2\n\nFramesPerSecond 25\nLoadObject ship.lwo\nObjectMotion (unnamed)\n  4\n  2\n  1 0 3 0 0 0\n"
            "  3 2 2 0.5 0 0\n  1\n  0 0 2 0 0 0\n  1\n  0 0 2 0 0 0\n  1\n  45 0 2 0 0 0\n"
            "Pre/PostBehavior 1 2 1 1 1 1 1 1\nAddLight\nLightMotion (unnamed)\n  1\n  1\n  0 0 2 0 0 0\n"
            "LightColor 255 128 0\nLgtIntensity (envelope)\n  1\n  2\n  1 0 3 0 0 0\n  0 1 3 0 0 0\nEndBehavior 1\n"
            "LightType 2\nConeAngle 40\nAddCamera\nCameraMotion (unnamed)\n  6\n  1\n  0 0 2 0 0 0\n  1\n"
            "  0 0 2 0 0 0\n  1\n  -5 0 2 0 0 0\n  1\n  0 0 2 0 0 0\n  1\n  0 0 2 0 0 0\n  1\n  0 0 2 0 0 0\n"
            "ZoomFactor 3.2\n");
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
  writeIlbmSeeds(root / "ilbm");
  writeAnyImageSeeds(root / "image");
  writeLightWaveObjectSeeds(root / "object");
  writeLightWaveSceneSeeds(root / "lightwave_scene");
  return 0;
}
