// The LightWave object reader: LWOB, LWO2 in the general layout and LWO3 surfaces written by
// the format writers and read back against hand-worked values; the refusals with the place
// they name; every truncation; and the real samples, read in place and held against assimp.
#include "mesh/lightwave_object.h"

#include <assimp/cimport.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <numbers>
#include <set>

#include "common/data_file.h"
#include "common/error.h"
#include "formats/lightwave_object_writer.h"
#include "formats/lwob_writer.h"
#include "support/error_message.h"

namespace tessarine::mesh {
namespace {

using namespace formats;
using common::bytesOf;

constexpr std::uint32_t kBig = 65300;  // past 0xFF00: written as a 4-byte index

LightWaveObject read(const std::string& bytes, const std::string& name = "o.lwo") {
  return readLightWaveObject(bytesOf(bytes), name);
}

template <class T, class F>
std::vector<T> each(const auto& items, F field) {
  std::vector<T> out;
  for (const auto& item : items) out.push_back(field(item));
  return out;
}

SurfaceChunkData redSurface() {
  ImageBlock chosen{.ordinal = "\x85",
                    .projection = 5,
                    .axis = 1,
                    .center = {1, 2, 3},
                    .size = {4, 5, 6},
                    .rotation = {0.1f, 0.2f, 0.3f},
                    .widthWrap = 2,
                    .heightWrap = 3,
                    .widthWrapAmount = 2.5f,
                    .clip = 7,
                    .uvMap = "UV"};
  return {.name = "Red",
          .color = {1, 0, 0},
          .diffuse = 0.8f,
          .specular = 0.25f,
          .glossiness = 0.5f,
          .smoothingAngle = 0.5f,
          .doubleSided = true,
          // Only the enabled colour layer first in ordinal order counts; a layer without a channel is none.
          .blocks = {{.ordinal = "\x90", .clip = 7},
                     {.ordinal = "\x60", .channel = "", .clip = 7},
                     chosen,
                     {.ordinal = "\x80", .enabled = false, .clip = 7},
                     {.ordinal = "\x70", .channel = "DIFF", .clip = 7}},
          .extra = surfaceSubChunk("XTRA", "abc", LightWaveLayout::kLwo2)};
}

void expectRedSurface(const Surface& s) {
  EXPECT_EQ(s.name, "Red");
  EXPECT_EQ(s.color, (std::array<float, 3>{1, 0, 0}));
  EXPECT_EQ(std::tuple(s.diffuse, s.specular, s.glossiness, s.doubleSided), std::tuple(0.8f, 0.25f, 0.5f, true));
  EXPECT_EQ(s.smoothingAngle, 0.5f);
  ASSERT_TRUE(s.colorMap);
  const ColorMap& m = *s.colorMap;
  EXPECT_EQ(std::tuple(m.image, m.projection, m.axis, m.uvMap), std::tuple("images/red.tga", Projection::kUv, 1, "UV"));
  EXPECT_EQ(
      std::tuple(m.center, m.size, m.rotation),
      std::tuple(std::array<float, 3>{1, 2, 3}, std::array<float, 3>{4, 5, 6}, std::array<float, 3>{0.1f, 0.2f, 0.3f}));
  EXPECT_EQ(std::tuple(m.widthWrap, m.heightWrap, m.widthWrapAmount),
            std::tuple(WrapMode::kMirror, WrapMode::kEdge, 2.5f));
}

TEST(LightWaveObjectTest, Lwo2InTheGeneralLayoutReadsBackWhole) {
  std::vector<std::array<float, 3>> big(kBig + 1, {0, 0, 0});
  const std::string file = objectFile(
      "LWO2", {surfaceChunk(redSurface(), LightWaveLayout::kLwo2), paddedChunk("ZZZZ", "odd"),
               paddedChunk("VMAP", std::string("RGB \0\x03C\0\0\0", 10) + std::string(12, '\0')),
               layerChunk(0, {1, 2, 3}, "Base"), pointsChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
               polygonsChunk("FACE", {{0, 1, 2}, {0}, {1, 2}}), polygonTagsChunk("SURF", {{0, 0}, {1, 0}, {2, 2}}),
               uvChunk("UV", {{.point = 2, .u = 1, .v = 0}}, false), tagsChunk({"Red", "Blue", "Unnamed"}),
               clipChunk(7, "images/red.tga", LightWaveLayout::kLwo2), layerChunk(5, {0, -1, 0}, "Big", 0),
               pointsChunk(big), polygonsChunk("PTCH", {{kBig, 0, 1}}), polygonTagsChunk("SURF", {{0, 1}}),
               uvChunk("UV", {{.point = kBig, .u = 0.25f, .v = 0.75f}}, false),
               uvChunk("UV", {{.point = kBig, .polygon = 0, .u = 0.5f, .v = 1}}, true),
               surfaceChunk({.name = "Blue", .transparency = 0.5f, .smoothingAngle = 0}, LightWaveLayout::kLwo2)});
  const LightWaveObject o = read(file);

  EXPECT_EQ(o.format, ObjectFormat::kLwo2);
  ASSERT_EQ(o.layers.size(), 2u);
  EXPECT_EQ(std::tuple(o.layers[0].number, o.layers[0].name, o.layers[0].pivot, o.layers[0].parent),
            std::tuple(0u, "Base", std::array<float, 3>{1, 2, 3}, std::optional<std::uint32_t>()));
  EXPECT_EQ(std::tuple(o.layers[1].number, o.layers[1].parent, o.layers[1].firstPoint, o.layers[1].pointCount),
            std::tuple(5u, std::optional<std::uint32_t>(0), 3u, kBig + 1));
  EXPECT_EQ(o.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 1, 2, 3 + kBig, 3, 4}));
  EXPECT_EQ(each<std::uint32_t>(o.polygons, [](auto& p) { return p.vertexCount; }),
            (std::vector<std::uint32_t>{3, 1, 2, 3}));
  EXPECT_EQ(each<std::uint32_t>(o.polygons, [](auto& p) { return p.layer; }), (std::vector<std::uint32_t>{0, 0, 0, 1}));
  EXPECT_EQ(o.polygons[3].type, PolygonType::kPatch);
  // A tag that names no surface gets a default surface under its name, after those read.
  EXPECT_EQ(each<std::uint32_t>(o.polygons, [](auto& p) { return p.surface; }),
            (std::vector<std::uint32_t>{0, 0, 2, 1}));
  ASSERT_EQ(o.surfaces.size(), 3u);
  expectRedSurface(o.surfaces[0]);
  EXPECT_EQ(std::tuple(o.surfaces[1].transparency, o.surfaces[1].smoothingAngle.has_value(),
                       o.surfaces[1].colorMap.has_value()),
            std::tuple(0.5f, false, false));
  EXPECT_EQ(std::tuple(o.surfaces[2].name, o.surfaces[2].diffuse, o.surfaces[2].color[0]),
            std::tuple("Unnamed", 1.0f, 200.0f / 255));
  ASSERT_EQ(o.uvMaps.size(), 1u);
  EXPECT_EQ(each<std::uint32_t>(o.uvMaps[0].points, [](auto& e) { return e.point; }),
            (std::vector<std::uint32_t>{2, 3 + kBig}));
  EXPECT_EQ(o.uvMaps[0].points[1].v, 0.75f);
  ASSERT_EQ(o.uvMaps[0].corners.size(), 1u);
  EXPECT_EQ(std::tuple(o.uvMaps[0].corners[0].polygon, o.uvMaps[0].corners[0].point, o.uvMaps[0].corners[0].u),
            std::tuple(3u, 3 + kBig, 0.5f));
  EXPECT_EQ(o.images, std::vector<std::string>{"images/red.tga"});
  EXPECT_EQ(describeSkipped(o), "skipped: 1 x SURF XTRA, 1 x VMAP RGB , 1 x ZZZZ");
}

TEST(LightWaveObjectTest, Lwo3SurfacesAndClipsReadAsLwo2Ones) {
  SurfaceChunkData red = redSurface();
  red.extra = surfaceSubChunk("XTRA", "abc", LightWaveLayout::kLwo3);
  // A surface that gives no colour of its own takes its values from its material node.
  auto nodeSurface = [](std::string name, std::string_view server) {
    return paddedChunk("FORM", "SURF" + surfaceSubChunk("    ", name + std::string(3, '\0'), LightWaveLayout::kLwo3) +
                                   materialNodes(server, {{"Color", {0.25, 0.5, 1}}, {"Specular", {0.75}}}));
  };
  const LightWaveObject o =
      read(objectFile("LWO3", {tagsChunk({"Red"}), clipChunk(7, "images/red.tga", LightWaveLayout::kLwo3),
                               layerChunk(0, {}, ""), pointsChunk({{0, 0, 0}}), polygonsChunk("FACE", {{0}}),
                               polygonTagsChunk("SURF", {{0, 0}}), surfaceChunk(red, LightWaveLayout::kLwo3),
                               nodeSurface("S", "Standard"), nodeSurface("P", "Principled BSDF")}));
  EXPECT_EQ(o.format, ObjectFormat::kLwo3);
  ASSERT_EQ(o.surfaces.size(), 3u);
  expectRedSurface(o.surfaces[0]);
  EXPECT_EQ(o.polygons[0].surface, 0u);
  // Only the Standard node's inputs are LWO2's values under the same names.
  const std::array<float, 3> color{0.25f, 0.5f, 1};
  EXPECT_EQ(std::tuple(o.surfaces[1].color, o.surfaces[1].specular), std::tuple(color, 0.75f));
  EXPECT_EQ(std::tuple(o.surfaces[2].color, o.surfaces[2].specular), std::tuple(color, 0.0f));
}

TEST(LightWaveObjectTest, LwobDetailPolygonsBecomeFacesAndSurfacesKeepTheirImage) {
  LwobSurface textured{.name = "Textured",
                       .color = {255, 128, 0},
                       .flags = 4 | 256,
                       .diffuse = 128,
                       .floatDiffuse = 0.75f,
                       .glossExponent = 256,
                       .colorTextures = {{.type = "Fractal Noise"},
                                         {.type = "Spherical Image Map",
                                          .image = "earth.iff",
                                          .flags = 2 | 8,
                                          .center = {0, 1, 0},
                                          .size = {2, 2, 2},
                                          .wrap = {1, 3},
                                          .widthWrapAmount = 3},
                                         {.image = "other.iff"}}};
  const LightWaveObject o = read(writeLwob({.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                                            .surfaceNames = {"Plain", "Textured"},
                                            .polygons = {{.face = {{0, 1, 2, 3}, 1}, .details = {{{0, 1, 2}, 2}}},
                                                         {.face = {{2, 3}, 2}},
                                                         {.face = {{3}, 1}}},
                                            .surfaces = {textured}}));
  EXPECT_EQ(o.format, ObjectFormat::kLwob);
  EXPECT_EQ(each<std::uint32_t>(o.polygons, [](auto& p) { return p.vertexCount; }),
            (std::vector<std::uint32_t>{4, 3, 2, 1}));
  EXPECT_EQ(each<std::uint32_t>(o.polygons, [](auto& p) { return p.surface; }),
            (std::vector<std::uint32_t>{0, 1, 1, 0}));
  ASSERT_EQ(o.surfaces.size(), 2u);
  const Surface& plain = o.surfaces[0];
  EXPECT_EQ(std::tuple(plain.name, plain.color[1], plain.smoothingAngle.has_value()),
            std::tuple("Plain", 200.0f / 255, false));
  const Surface& s = o.surfaces[1];
  EXPECT_EQ(s.color, (std::array<float, 3>{1, 128.0f / 255, 0}));
  EXPECT_EQ(std::tuple(s.diffuse, s.glossiness, s.doubleSided), std::tuple(0.75f, 0.6f, true));
  EXPECT_NEAR(*s.smoothingAngle, 89.5 * std::numbers::pi / 180, 1e-6);
  ASSERT_TRUE(s.colorMap);
  const ColorMap& m = *s.colorMap;
  EXPECT_EQ(std::tuple(m.image, m.projection, m.axis, m.worldCoordinates),
            std::tuple("earth.iff", Projection::kSpherical, 1, true));
  EXPECT_EQ(std::tuple(m.center, m.size), std::tuple(std::array<float, 3>{0, 1, 0}, std::array<float, 3>{2, 2, 2}));
  EXPECT_EQ(std::tuple(m.widthWrap, m.heightWrap, m.widthWrapAmount),
            std::tuple(WrapMode::kEdge, WrapMode::kMirror, 3.0f));
  EXPECT_EQ(o.images, std::vector<std::string>{"earth.iff"});
  EXPECT_EQ(describeSkipped(o), "skipped: 2 x SURF CTEX");  // the procedural texture and the second image

  // LWLO: each LAYR starts a layer whose polygons count points from its own.
  const std::string onePoint = std::string("\0\x01\0\0\0\x01", 6);  // 1 point, index 0, surface 1
  const LightWaveObject layered =
      read(objectFile("LWLO", {paddedChunk("SRFS", std::string("A\0", 2)),
                               paddedChunk("LAYR", std::string("\0\x01\0\0L1\0\0", 8)), pointsChunk({{0, 0, 0}}),
                               paddedChunk("POLS", onePoint), paddedChunk("LAYR", std::string("\0\x02\0\0\0\0", 6)),
                               pointsChunk({{1, 0, 0}}), paddedChunk("POLS", onePoint)}));
  EXPECT_EQ(each<std::uint32_t>(layered.layers, [](auto& l) { return l.number; }), (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(std::tuple(layered.layers[0].name, layered.layers[1].firstPoint, layered.indices),
            std::tuple("L1", 1u, std::vector<std::uint32_t>{0, 1}));
}

// Each case breaks one chunk of a good object; the message names the file, the chunk and the
// byte, counted by hand from the start of the chunk's body (the FORM header is 12 bytes, a
// chunk header 8).
TEST(LightWaveObjectTest, RefusalsNameTheFileTheChunkAndTheByte) {
  const std::string layer = layerChunk(0, {}, ""), points = pointsChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  const std::string triangle = polygonsChunk("FACE", {{0, 1, 2}});
  const std::uint64_t polsBody = 12 + layer.size() + points.size() + 8, afterPols = polsBody - 8 + triangle.size();
  std::string shortFace = "FACE";
  shortFace += std::string("\0\x09\0\0\0\x01\0\x02", 8);
  struct Case {
    std::string file, name, expected;
  };
  const Case cases[] = {
      {objectFile("LWO2", {paddedChunk("TAGS", "abcd"), layer}), "o.lwo",
       "o.lwo: TAGS at byte 20: a name runs past the end of its chunk"},
      {objectFile("LWO2", {layer, points, triangle}).substr(0, 60), "o.lwo", "o.lwo: LWO2 FORM: its length of"},
      {objectFile("LXOB", {}), "x.lxo", "x.lxo: not a LightWave object: FORM type LXOB"},
      {"LWO2", "o.lwo", "o.lwo: not a LightWave object: no IFF FORM"},
      {objectFile("LWO2", {layer, points, polygonsChunk("FACE", {{0, 1, 7}})}), "o.lwo",
       "o.lwo: POLS at byte " + std::to_string(polsBody + 4 + 2 + 2 * 2) +
           ": point index 7 of a polygon is beyond the 3 points"},
      {objectFile("LWO2", {layer, points, paddedChunk("POLS", shortFace)}), "o.lwo",
       "o.lwo: POLS at byte " + std::to_string(polsBody + 4) +
           ": polygon 0 has 9 points, more than the 6 bytes left hold"},
      {objectFile("LWO2", {tagsChunk({"A"}), layer, points, triangle, polygonTagsChunk("SURF", {{0, 4}})}), "o.lwo",
       "o.lwo: PTAG at byte " + std::to_string(afterPols + tagsChunk({"A"}).size() + 8 + 4 + 2) +
           ": surface tag 4 is beyond the 1 tags"},
      // In a second layer, counted from that layer's first polygon.
      {objectFile("LWO2", {layer, points, triangle, layer, points, triangle,
                           uvChunk("UV", {{.point = 1, .polygon = 1}}, true)}),
       "o.lwo",
       "o.lwo: VMAD at byte " + std::to_string(afterPols + layer.size() + points.size() + triangle.size() + 8 + 4 + 2 +
                                               4 + 2) +
           ": polygon 1 is beyond the 1 polygons"},
      {objectFile("LWO2", {surfaceChunk({.name = "S", .blocks = {{.clip = 9}}}, LightWaveLayout::kLwo2)}), "o.lwo",
       "o.lwo: SURF BLOK IMAG at byte 240: image clip 9 is in no CLIP chunk"},
      {objectFile("LWO2", {paddedChunk("SURF", std::string("S\0\0\0COLR\0\x64", 10))}), "o.lwo",
       "o.lwo: SURF at byte " + std::to_string(12 + 8 + 4) +
           ": sub-chunk COLR of 100 bytes runs past the end of its chunk"},
      {writeLwob({.points = {{0, 0, 0}}, .surfaceNames = {"A"}, .polygons = {{.face = {{0}, 3}}}}), "o.lwo",
       "o.lwo: POLS at byte " + std::to_string(12 + 8 + 2 + 8 + 12 + 8 + 4) +
           ": surface 3 is beyond the 1 surfaces named in SRFS"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tessarine::testing::messageOf([&] { read(c.file, c.name); }).substr(0, c.expected.size()), c.expected);
  }
}

// Every cut of a good file, its FORM length mended to match, reads or is refused: never a
// crash or an overrun (the sanitizer build watches).
TEST(LightWaveObjectTest, EveryTruncationReadsOrIsRefused) {
  SurfaceChunkData red = redSurface();
  red.extra.clear();
  for (const std::string& good :
       {objectFile("LWO3", {layerChunk(0, {}, "", 0), pointsChunk({{0, 0, 0}, {1, 1, 1}}),
                            polygonsChunk("FACE", {{0, 1}}), uvChunk("UV", {{.point = 1}}, true),
                            clipChunk(7, "a", LightWaveLayout::kLwo3), surfaceChunk(red, LightWaveLayout::kLwo3)}),
        writeLwob({.points = {{0, 0, 0}},
        .surfaceNames = {"A"},
        .polygons = {{.face = {{0}, 1}, .details = {{{0}, 1}}}},
        .surfaces = {{.name = "A", .smoothingAngle = 1, .colorTextures = {{.image = "i"}}}}})}) {
    for (std::size_t size = 12; size < good.size(); ++size) {
      std::string cut = good.substr(0, size);
      for (int i = 0; i < 4; ++i) cut[4 + i] = static_cast<char>((size - 8) >> (24 - 8 * i));
      try {
        read(cut);
      } catch (const common::Error&) {
      }
    }
  }
}

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Every sample reads; where assimp reads one too, the faces and patches it makes and the
// names of the surfaces they use agree. An object saved as LWO2 and as LWO3 (whose surfaces
// keep their colour in a material node) has the same surface colours.
TEST(LightWaveObjectTest, RealSamplesReadAndAgreeWithAssimp) {
  const std::filesystem::path folder = TESSARINE_SAMPLES;
  if (!std::filesystem::is_directory(folder / "lwo2")) GTEST_SKIP() << "no samples at " << folder;
  int readCount = 0, compared = 0, pairs = 0;
  std::map<std::string, std::vector<std::pair<std::string, std::array<float, 3>>>> lwo2Colors;
  for (const char* kind : {"lwob", "lwo2", "lwo3", "lxob"}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder / kind)) {
      const std::string path = entry.path().string();
      if (std::string(kind) == "lxob") {
        EXPECT_NE(tessarine::testing::messageOf([&] { read(fileBytes(path), path); }).find("not a LightWave object"),
                  std::string::npos);
        continue;
      }
      const LightWaveObject o = readLightWaveObject(bytesOf(fileBytes(path)), path);
      EXPECT_TRUE(!o.points.empty() && !o.polygons.empty()) << path;
      ++readCount;
      auto colors = each<std::pair<std::string, std::array<float, 3>>>(
          o.surfaces, [](auto& s) { return std::pair(s.name, s.color); });
      const std::string stem = entry.path().filename().string();
      if (std::string(kind) == "lwo2") lwo2Colors[stem] = colors;
      if (std::string(kind) == "lwo3" && lwo2Colors.contains(stem)) {
        EXPECT_EQ(colors, lwo2Colors[stem]) << path;
        ++pairs;
      }
      const aiScene* scene = aiImportFile(path.c_str(), 0);
      if (scene == nullptr) continue;
      std::size_t faces = 0;
      std::set<std::string> names, ours;
      for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        faces += scene->mMeshes[i]->mNumFaces;
        aiString name;
        aiGetMaterialString(scene->mMaterials[scene->mMeshes[i]->mMaterialIndex], AI_MATKEY_NAME, &name);
        names.insert(name.C_Str());
      }
      aiReleaseImport(scene);
      for (const ObjectPolygon& p : o.polygons) {
        if (p.surface != kNoSurface) ours.insert(o.surfaces[p.surface].name);
      }
      EXPECT_EQ(o.countPolygons(PolygonType::kFace) + o.countPolygons(PolygonType::kPatch), faces) << path;
      EXPECT_EQ(ours, names) << path;
      ++compared;
    }
  }
  EXPECT_GT(readCount, 0);
  std::cout << readCount << " samples read, " << compared << " held against assimp, " << pairs
            << " LWO3 ones against LWO2\n";
}

}  // namespace
}  // namespace tessarine::mesh
