// The LWO2 reader: the fixed chunk sequence, the messages of every refusal, every
// truncation of a good file, and the writer's objects read back whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "mesh/mesh.h"
#include "mesh_fixtures.h"
#include "support/temp_dir.h"

namespace tessarine::mesh {
namespace {

using formats::appendF32BE;
using formats::appendU16BE;
using formats::appendU32BE;
using formats::chunk;
using formats::form;
using tessarine::testing::TempDir;
using testing::messageOf;
using testing::noTexture;

std::string u16(std::uint16_t value) {
  std::string out;
  appendU16BE(out, value);
  return out;
}

std::string u32(std::uint32_t value) {
  std::string out;
  appendU32BE(out, value);
  return out;
}

std::string pointsBody(std::size_t count) {
  std::string body;
  for (std::size_t i = 0; i < count; ++i) {
    appendF32BE(body, static_cast<float>(i));
    appendF32BE(body, 1.0f);
    appendF32BE(body, 0.0f);
  }
  return body;
}

std::string uvMapBody(std::string_view type, std::uint16_t dimension, std::size_t entries) {
  std::string body = std::string(type) + u16(dimension) + std::string("UV\0\0", 4);
  for (std::size_t i = 0; i < entries; ++i) {
    appendU16BE(body, static_cast<std::uint16_t>(i));
    appendF32BE(body, 0.5f);
    appendF32BE(body, 0.25f);
  }
  return body;
}

std::string faceBody(const std::vector<std::vector<std::uint16_t>>& polygons) {
  std::string body = "FACE";
  for (const auto& polygon : polygons) {
    appendU16BE(body, static_cast<std::uint16_t>(polygon.size()));
    for (std::uint16_t index : polygon) appendU16BE(body, index);
  }
  return body;
}

// A good three-point object, chunk by chunk, for cases that break one piece of it.
struct Parts {
  std::string type = "LWO2";
  std::string tags = chunk("TAGS", std::string("Default\0", 8));
  std::string layr = chunk("LAYR", std::string(18, '\0'));
  std::string pnts = chunk("PNTS", pointsBody(3));
  std::string bbox = chunk("BBOX", std::string(24, '\0'));
  std::string vmap = chunk("VMAP", uvMapBody("TXUV", 2, 3));
  std::string pols = chunk("POLS", faceBody({{0, 1, 2}}));
  std::string tail = chunk("PTAG", "SURF" + u16(0) + u16(0));

  std::string bytes() const { return form(type, tags + layr + pnts + bbox + vmap + pols + tail); }
};

// The good object with one part replaced, or with its FORM length set to `formSize`.
std::string with(std::string Parts::*part, std::string bytes) {
  Parts p;
  p.*part = std::move(bytes);
  return p.bytes();
}
std::string withFormSize(std::size_t formSize) {
  std::string bytes = Parts().bytes();
  bytes.replace(4, 4, u32(static_cast<std::uint32_t>(formSize)));
  return bytes;
}

TEST(LwoReaderTest, MalformedObjectsAreRefusedWithTheirMessages) {
  const Parts good;
  std::string uvWithWideIndex = uvMapBody("TXUV", 2, 3);
  uvWithWideIndex.replace(10 + 2 * 10, 2, u16(0xFF00));
  // Offsets: FORM header 12 bytes, TAGS 16, LAYR 26, PNTS 44, BBOX 32, VMAP 48, POLS from 178.
  const struct {
    std::string bytes, message, place = "";  // "{}" stands for the object's path
  } cases[] = {
      {"RIFF" + u32(4) + "LWO2", "Not IFF File"},
      {with(&Parts::type, "LWOB"), "Not LWO2 File", "{}, byte 8: found \"LWOB\""},
      {with(&Parts::tags, ""), "Not TAGS Chunk"},
      {with(&Parts::layr, chunk("CLIP", u32(1)) + good.layr), "Not LAYR Chunk"},
      {with(&Parts::pnts, "pnts" + good.pnts.substr(4)), "Not PNTS Chunk", "{}, byte 54: found \"pnts\""},
      {with(&Parts::bbox, ""), "Not BBOX Chunk"},
      {with(&Parts::vmap, ""), "Not VMAP Chunk"},
      {with(&Parts::vmap, chunk("VMAP", uvMapBody("WGHT", 1, 0))), "Not TXUV Map", "{}, byte 138: found \"WGHT\""},
      {with(&Parts::vmap, chunk("VMAP", uvMapBody("TXUV", 3, 3))), "Not 2 dimensional Map", "{}, byte 142: found \"3\""},
      {with(&Parts::pols, ""), "Not POLS Chunk"},
      {with(&Parts::pols, chunk("POLS", "P\x01\"H" + u16(3))), "Not FACE Poly", "{}, byte 186: found \"P\\x01\\x22H\""},
      {with(&Parts::pols, chunk("POLS", faceBody({{0, 1, 2}, {1}}))), "Found face with less than 2 points",
       "{}, byte 198: found \"1\""},
      {with(&Parts::pols, chunk("POLS", faceBody({{0, 1, 3}}))), "Point index 3 of polygon 0 is beyond the 3 points of {}"},
      {with(&Parts::pols, chunk("POLS", faceBody({{0, 1, 2}, {0, 0xFF00, 0x0001, 2}}))),
       "4-byte point index in polygon 1 of {}", "{}, byte 202: found \"65280\""},
      {with(&Parts::pols, chunk("POLS", "FACE" + u16(4) + u16(0) + u16(1) + u16(2))),
       "Polygon 0 runs past the end of the POLS chunk in {}"},
      {with(&Parts::pnts, chunk("PNTS", pointsBody(65536))), "More than 65535 points in {}"},
      {with(&Parts::tags, "TAGS" + u32(0x7FFFFFF0) + std::string("Default\0", 8)),
       "TAGS chunk runs past the end of its FORM in {}"},
      {form("LWO2", good.tags + good.layr + good.pnts + good.bbox + good.vmap + "POLS" + u32(100) + faceBody({{0, 1, 2}})),
       "POLS chunk runs past the end of its FORM in {}"},
      {withFormSize(good.bytes().size() - 7), "File ends inside its FORM: {}"},
      {withFormSize(good.bytes().size() - 8 - good.pols.size() - good.tail.size()), "FORM ends before the POLS chunk in {}"},
      {withFormSize(4 + good.tags.size() + good.layr.size() + 8 + 12), "PNTS chunk runs past the end of its FORM in {}"},
      {with(&Parts::vmap, chunk("VMAP", uvMapBody("TXUV", 2, 2))), "UV map holds fewer entries than the 3 points of {}"},
      {with(&Parts::vmap, chunk("VMAP", uvMapBody("TXUV", 2, 4))), "Not POLS Chunk"},
      {with(&Parts::vmap, chunk("VMAP", "TXUV" + u16(2) + "UVUV")), "UV map name runs past the end of its chunk in {}"},
      {with(&Parts::vmap, chunk("VMAP", uvWithWideIndex)), "4-byte point index in the UV map of {}"},
      {with(&Parts::vmap, chunk("VMAP", "TX")), "VMAP chunk too short for its type in {}"},
      {with(&Parts::vmap, chunk("VMAP", "TXUV")), "VMAP chunk too short for its dimension in {}"},
      {with(&Parts::pols, chunk("POLS", "FA")), "POLS chunk too short for its type in {}"},
      {"FOR", "Unexpected end of file in {} at byte 3", "{}, byte 3"},
  };

  TempDir dir;
  dir.write("case.tga", formats::writeTga(testing::smallImage()));
  for (const auto& [bytes, message, place] : cases) {
    SCOPED_TRACE(message);
    std::string path = dir.write("case.lwo", bytes);
    auto fill = [&](const std::string& text) { return testing::withPath(text, path); };
    EXPECT_EQ(messageOf([&] { Mesh("case.lwo", dir.str(), noTexture); }), fill(message));
    if (!place.empty()) {
      EXPECT_EQ(testing::placeOf([&] { Mesh("case.lwo", dir.str(), noTexture); }), fill(place));
    }
  }
}

TEST(LwoReaderTest, EveryTruncationOfAGoodObjectIsRefused) {
  formats::ObjectData object = testing::triangleObject();
  object.imageFile = "cut.tga";
  std::string whole = formats::writeLwo2(object);
  TempDir dir;
  dir.write("cut.tga", formats::writeTga(testing::smallImage()));
  dir.write("cut.lwo", whole);
  EXPECT_EQ(Mesh("cut.lwo", dir.str(), noTexture).polygonCount(), 1u);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    SCOPED_TRACE(size);
    dir.write("cut.lwo", std::string_view(whole).substr(0, size));
    EXPECT_THROW(Mesh("cut.lwo", dir.str(), noTexture), common::Error);
  }
}

TEST(LwoReaderTest, WrittenObjectReadsBackWithFaceNormals) {
  formats::ObjectData object;
  object.points = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {4, 0, -3}, {2, 0, 0}};
  for (std::size_t i = 0; i < object.points.size(); ++i) {
    object.uvs.push_back({0.25f * static_cast<float>(i), 1.0f - 0.125f * static_cast<float>(i)});
  }
  object.polygons = {{0, 1, 2, 3}, {1, 0, 4}, {0, 3, 5}, {2, 3}};
  // Then more faces than the reader works normals out for at a time, in a pattern of three
  // that does not line up with its blocks.
  const std::vector<std::uint16_t> pattern[] = {{0, 1, 2}, {2, 1, 0}, {1, 0, 4}};
  for (std::size_t i = 0; i < 600; ++i) object.polygons.push_back(pattern[i % 3]);
  object.imageFile = "ship.tga";
  TempDir dir;
  dir.write("ship.lwo", formats::writeLwo2(object));
  formats::TgaImage written = testing::smallImage();
  written.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  dir.write("ship.tga", formats::writeTga(written));

  // The image beside the object reaches the texture maker whole, with the load priority.
  int textures = 0;
  Mesh mesh("ship.lwo", dir.str(), [&](const Image& image, float priority) {
    ++textures;
    EXPECT_EQ(image.pixels, std::vector<unsigned char>(written.pixels.begin(), written.pixels.end()));
    EXPECT_FLOAT_EQ(priority, 0.5f);
    return Texture();
  });
  EXPECT_EQ(textures, 1);
  EXPECT_EQ(mesh.name(), "ship.lwo");
  ASSERT_EQ(mesh.pointCount(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    const Point& p = mesh.points()[i];
    const UvEntry& uv = mesh.uvs()[i];
    EXPECT_EQ((std::array{p.x, p.y, p.z, uv.u, uv.v}), (std::array{object.points[i][0], object.points[i][1],
                                                              object.points[i][2], object.uvs[i][0], object.uvs[i][1]}));
    EXPECT_EQ(uv.point, i);
  }
  ASSERT_EQ(mesh.polygonCount(), 604u);
  // Normals worked by hand from the first three points: -(P0 - P1) x (P2 - P1), made unit.
  // The collinear face and the two-point face get the fallback (0, 0, 1).
  const std::array<float, 3> normals[] = {{0, 0, -1}, {0.6f, 0, 0.8f}, {0, 0, 1}, {0, 0, 1}};
  const std::array<float, 3> patternNormals[] = {{0, 0, -1}, {0, 0, 1}, {0.6f, 0, 0.8f}};
  for (std::size_t i = 0; i < 604; ++i) {
    SCOPED_TRACE(i);
    const Polygon& polygon = mesh.polygons()[i];
    auto indices = mesh.indicesOf(polygon);
    EXPECT_EQ(std::vector<std::uint16_t>(indices.begin(), indices.end()), object.polygons[i]);
    const std::array<float, 3>& normal = i < 4 ? normals[i] : patternNormals[(i - 4) % 3];
    for (std::size_t axis = 0; axis < 3; ++axis) EXPECT_NEAR(polygon.normal[axis], normal[axis], 1e-6);
  }
  EXPECT_EQ(mesh.texture().id(), 0u);
}

TEST(LwoReaderTest, LayoutsTheReaderAcceptsBeyondTheWritersOwn) {
  const struct {
    std::string bytes;
    std::uint32_t polygons;
  } cases[] = {
      // Whole points are kept; the chunk still ends after its stray bytes.
      {with(&Parts::pnts, chunk("PNTS", pointsBody(3) + "12345")), 1},
      {with(&Parts::pols, chunk("POLS", "FACE")), 0},
      {with(&Parts::pols, chunk("POLS", faceBody({{0, 1, 2}}) + "xyz")), 1},
      {with(&Parts::pols, chunk("POLS", faceBody({{0, 1}}))), 1},
      // What follows POLS is never read: a second layer, or chunks that make no sense.
      {with(&Parts::tail, chunk("LAYR", std::string(18, '\0')) + chunk("PNTS", "odd") + chunk("SURF", "\xFF\xFF\xFF")), 1},
      {with(&Parts::tail, ""), 1},
  };
  TempDir dir;
  dir.write("ok.tga", formats::writeTga(testing::smallImage()));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    dir.write("ok.lwo", cases[i].bytes);
    Mesh mesh("ok.lwo", dir.str(), noTexture);
    EXPECT_EQ(mesh.pointCount(), 3u);
    EXPECT_EQ(mesh.uvs().size(), 3u);
    EXPECT_EQ(mesh.polygonCount(), cases[i].polygons);
  }
}

TEST(LwoReaderTest, ObjectAndImagePathsComeFromTheDirectoryAndName) {
  TempDir dir;
  std::string object = formats::writeLwo2(testing::triangleObject());
  dir.write("ship.lwo", object);
  dir.write("ship.tga", formats::writeTga(testing::smallImage()));
  // "-" takes the name as it stands; any other directory is joined with '/'.
  EXPECT_EQ(Mesh(dir.str() + "/ship.lwo", "-", noTexture).polygonCount(), 1u);
  EXPECT_EQ(Mesh("ship.lwo", dir.str(), noTexture).name(), "ship.lwo");

  // The image is the object's name with its extension replaced, in the object's directory.
  std::filesystem::create_directory(dir.path() / "sub.d");
  const std::pair<std::string, std::string> images[] = {
      {"hull.obj", dir.str() + "/hull.tga"}, {"sub.d/hull.lwo", dir.str() + "/sub.d/hull.tga"}};
  for (const auto& [name, image] : images) {
    dir.write(name, object);
    EXPECT_EQ(messageOf([&] { Mesh(name, dir.str(), noTexture); }), "I can't open file " + image + " as rb");
    dir.write(image.substr(dir.str().size() + 1), formats::writeTga(testing::smallImage()));
    EXPECT_EQ(Mesh(name, dir.str(), noTexture).pointCount(), 3u);
  }
}

}  // namespace
}  // namespace tessarine::mesh
