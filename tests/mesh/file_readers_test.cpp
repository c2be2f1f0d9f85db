// The LWO2 and TGA readers on bytes: the fixed chunk sequence, the messages of every
// refusal, every truncation of a good file, the writer's objects read back whole, the
// image's header fields, identification field, colour map and origin; and a mesh read
// from its files with the image beside it.
#include <gtest/gtest.h>

#include <cmath>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "common/data_file.h"
#include "mesh/image.h"
#include "mesh/lwo_reader.h"
#include "mesh/mesh.h"
#include "mesh_fixtures.h"
#include "support/temp_dir.h"

namespace tessarine::mesh {
namespace {

using common::bytesOf;
using formats::appendF32BE;
using formats::appendU16BE;
using formats::appendU32BE;
using formats::chunk;
using formats::form;
using tessarine::testing::TempDir;
using testing::messageOf;
using testing::placeOf;

std::string u16(std::uint16_t value) { std::string out; appendU16BE(out, value); return out; }
std::string u32(std::uint32_t value) { std::string out; appendU32BE(out, value); return out; }

std::string pointsBody(std::size_t count) {
  std::string body;
  for (std::size_t i = 0; i < count; ++i) for (float v : {static_cast<float>(i), 1.0f, 0.0f}) appendF32BE(body, v);
  return body;
}

std::string uvMapBody(std::string_view type, std::uint16_t dimension, std::uint16_t entries) {
  std::string body = std::string(type) + u16(dimension) + std::string("UV\0\0", 4);
  for (std::uint16_t i = 0; i < entries; ++i) body += u16(i) + std::string("\x3F\0\0\0\x3E\x80\0\0", 8);  // 0.5, 0.25
  return body;
}

std::string faceBody(const std::vector<std::vector<std::uint16_t>>& polygons) {
  std::string body = "FACE";
  for (const auto& polygon : polygons) {
    body += u16(static_cast<std::uint16_t>(polygon.size()));
    for (std::uint16_t index : polygon) body += u16(index);
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

TEST(LwoReaderTest, MalformedAndTruncatedObjectsAreRefusedWithTheirMessages) {
  const Parts good;
  std::string uvWithWideIndex = uvMapBody("TXUV", 2, 3);
  uvWithWideIndex.replace(10 + 2 * 10, 2, u16(0xFF00));
  // Offsets: FORM header 12 bytes, TAGS 16, LAYR 26, PNTS 44, BBOX 32, VMAP 48, POLS from 178.
  const struct {
    std::string bytes, message, place = "";
  } cases[] = {
      {"RIFF" + u32(4) + "LWO2", "Not IFF File"},
      {with(&Parts::type, "LWOB"), "Not LWO2 File", "case.lwo, byte 8: found \"LWOB\""},
      {with(&Parts::tags, ""), "Not TAGS Chunk"},
      {with(&Parts::layr, chunk("CLIP", u32(1)) + good.layr), "Not LAYR Chunk"},
      {with(&Parts::pnts, "pnts" + good.pnts.substr(4)), "Not PNTS Chunk", "case.lwo, byte 54: found \"pnts\""},
      {with(&Parts::bbox, ""), "Not BBOX Chunk"},
      {with(&Parts::vmap, ""), "Not VMAP Chunk"},
      {with(&Parts::vmap, chunk("VMAP", uvMapBody("WGHT", 1, 0))), "Not TXUV Map", "case.lwo, byte 138: found \"WGHT\""},
      {with(&Parts::vmap, chunk("VMAP", uvMapBody("TXUV", 3, 3))), "Not 2 dimensional Map", "case.lwo, byte 142: found \"3\""},
      {with(&Parts::pols, ""), "Not POLS Chunk"},
      {with(&Parts::pols, chunk("POLS", "P\x01\"H" + u16(3))), "Not FACE Poly", "case.lwo, byte 186: found \"P\\x01\\x22H\""},
      {with(&Parts::pols, chunk("POLS", faceBody({{0, 1, 2}, {1}}))), "Found face with less than 2 points",
       "case.lwo, byte 198: found \"1\""},
      {with(&Parts::pols, chunk("POLS", faceBody({{0, 1, 3}}))), "Point index 3 of polygon 0 is beyond the 3 points of case.lwo"},
      {with(&Parts::pols, chunk("POLS", faceBody({{0, 1, 2}, {0, 0xFF00, 0x0001, 2}}))),
       "4-byte point index in polygon 1 of case.lwo", "case.lwo, byte 202: found \"65280\""},
      {with(&Parts::pols, chunk("POLS", "FACE" + u16(4) + u16(0) + u16(1) + u16(2))),
       "Polygon 0 runs past the end of the POLS chunk in case.lwo"},
      {with(&Parts::pnts, chunk("PNTS", pointsBody(65536))), "More than 65535 points in case.lwo"},
      {with(&Parts::tags, "TAGS" + u32(0x7FFFFFF0) + std::string("Default\0", 8)),
       "TAGS chunk runs past the end of its FORM in case.lwo"},
      {form("LWO2", good.tags + good.layr + good.pnts + good.bbox + good.vmap + "POLS" + u32(100) + faceBody({{0, 1, 2}})),
       "POLS chunk runs past the end of its FORM in case.lwo"},
      {withFormSize(good.bytes().size() - 7), "File ends inside its FORM: case.lwo"},
      {withFormSize(good.bytes().size() - 8 - good.pols.size() - good.tail.size()), "FORM ends before the POLS chunk in case.lwo"},
      {withFormSize(4 + good.tags.size() + good.layr.size() + 8 + 12), "PNTS chunk runs past the end of its FORM in case.lwo"},
      {with(&Parts::vmap, chunk("VMAP", uvMapBody("TXUV", 2, 2))), "UV map holds fewer entries than the 3 points of case.lwo"},
      {with(&Parts::vmap, chunk("VMAP", uvMapBody("TXUV", 2, 4))), "Not POLS Chunk"},
      {with(&Parts::vmap, chunk("VMAP", "TXUV" + u16(2) + "UVUV")), "UV map name runs past the end of its chunk in case.lwo"},
      {with(&Parts::vmap, chunk("VMAP", uvWithWideIndex)), "4-byte point index in the UV map of case.lwo"},
      {with(&Parts::vmap, chunk("VMAP", "TX")), "VMAP chunk too short for its type in case.lwo"},
      {with(&Parts::vmap, chunk("VMAP", "TXUV")), "VMAP chunk too short for its dimension in case.lwo"},
      {with(&Parts::pols, chunk("POLS", "FA")), "POLS chunk too short for its type in case.lwo"},
      {"FOR", "Unexpected end of file in case.lwo at byte 3", "case.lwo, byte 3"},
  };

  for (const auto& [bytes, message, place] : cases) {
    EXPECT_EQ(messageOf([&] { readLwo2(bytesOf(bytes), "case.lwo"); }), message);
    EXPECT_EQ(place.empty() ? "" : placeOf([&] { readLwo2(bytesOf(bytes), "case.lwo"); }), place);
  }
  // Every truncation of a good object is refused.
  const std::string whole = good.bytes();
  EXPECT_EQ(readLwo2(bytesOf(whole), "case.lwo").polygons.size(), 1u);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    EXPECT_THROW(readLwo2(bytesOf(std::string_view(whole).substr(0, size)), "case.lwo"), common::Error) << size;
  }
}

TEST(LwoReaderTest, WrittenObjectReadsBackWithFaceNormals) {
  formats::ObjectData object{
      .points = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {4, 0, -3}, {2, 0, 0}, {1, 2, 2}, {1e20f, 0, 0}},
      .uvs = {{0, 1}, {0.25f, 0.875f}, {0.5f, 0.75f}, {0.75f, 0.625f}, {1, 0.5f}, {1.25f, 0.375f}, {0, 0}, {2, 3}},
      .polygons = {{0, 1, 2, 3}, {1, 0, 4}, {0, 3, 5}, {2, 3}, {4, 1, 6}, {7, 0, 1}},
      .imageFile = "ship.tga"};
  // Then more faces than the reader works normals out for at a time, in a pattern of three
  // that does not line up with its blocks.
  const std::vector<std::uint16_t> pattern[] = {{0, 1, 2}, {2, 1, 0}, {1, 0, 4}};
  for (std::size_t i = 0; i < 600; ++i) object.polygons.push_back(pattern[i % 3]);
  TempDir dir;
  dir.write("ship.lwo", formats::writeLwo2(object));
  const std::vector<std::uint8_t> pixels{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  dir.write("ship.tga", formats::writeTga({.width = 2, .height = 2, .pixels = pixels}));
  // The image beside the object comes with it, whole; no texture is made from it yet.
  const std::unique_ptr<Mesh> mesh = loadMesh("ship.lwo", dir.str());
  EXPECT_EQ(std::tuple(mesh->name(), mesh->image().pixels, mesh->texture().id()),
            std::tuple("ship.lwo", std::vector<unsigned char>(pixels.begin(), pixels.end()), 0u));
  ASSERT_EQ(mesh->pointCount(), 8u);
  for (std::size_t i = 0; i < 8; ++i) {
    const Point& p = mesh->points()[i];
    const UvEntry& uv = mesh->uvs()[i];
    EXPECT_EQ((std::array{p.x, p.y, p.z, uv.u, uv.v, static_cast<float>(uv.point)}),
              (std::array{object.points[i][0], object.points[i][1], object.points[i][2], object.uvs[i][0],
                          object.uvs[i][1], static_cast<float>(i)}));
  }
  ASSERT_EQ(mesh->polygonCount(), 606u);
  // Normals worked by hand from the first three points: -(P0 - P1) x (P2 - P1), made unit.
  // The collinear face and the two-point face get the fallback (0, 0, 1). The fifth face's
  // cross product is (1, -11, 5); the sixth one's, (0, 0, 1e20), squares beyond a float.
  const float r = std::sqrt(147.0f);
  const std::array<float, 3> normals[] = {{0, 0, -1}, {0.6f, 0, 0.8f},          {0, 0, 1},
                                          {0, 0, 1},  {-1 / r, 11 / r, -5 / r}, {0, 0, -1}};
  const std::array<float, 3> patternNormals[] = {{0, 0, -1}, {0, 0, 1}, {0.6f, 0, 0.8f}};
  for (std::size_t i = 0; i < 606; ++i) {
    const Polygon& polygon = mesh->polygons()[i];
    auto indices = mesh->indicesOf(polygon);
    EXPECT_EQ(std::vector<std::uint16_t>(indices.begin(), indices.end()), object.polygons[i]) << i;
    const std::array<float, 3>& normal = i < 6 ? normals[i] : patternNormals[(i - 6) % 3];
    for (std::size_t axis = 0; axis < 3; ++axis) EXPECT_NEAR(polygon.normal[axis], normal[axis], 1e-6) << i;
  }
}

TEST(LwoReaderTest, LayoutsTheReaderAcceptsBeyondTheWritersOwn) {
  const std::pair<std::string, std::uint32_t> cases[] = {  // the object, its polygon count
      // Whole points are kept; the chunk still ends after its stray bytes.
      {with(&Parts::pnts, chunk("PNTS", pointsBody(3) + "12345")), 1},
      {with(&Parts::pols, chunk("POLS", "FACE")), 0},
      {with(&Parts::pols, chunk("POLS", faceBody({{0, 1, 2}}) + "xyz")), 1},
      // What follows POLS is never read: a second layer, or chunks that make no sense.
      {with(&Parts::tail, chunk("LAYR", std::string(18, '\0')) + chunk("PNTS", "odd") + chunk("SURF", "\xFF\xFF\xFF")), 1},
      {with(&Parts::tail, ""), 1},
  };
  for (const auto& [bytes, polygons] : cases) {
    const Geometry geometry = readLwo2(bytesOf(bytes), "ok.lwo");
    EXPECT_EQ(std::tuple(geometry.points.size(), geometry.uvs.size(), geometry.polygons.size()),
              std::tuple(3u, 3u, polygons));
  }
  // The image is the object's name with its extension replaced, in the object's directory.
  TempDir dir;
  dir.write("sub.d/hull.lwo", formats::writeLwo2(testing::triangleObject()));
  EXPECT_EQ(messageOf([&] { loadMesh("sub.d/hull.lwo", dir.str()); }),
            "I can't open file " + dir.str() + "/sub.d/hull.tga as rb");
}

// A header as the format lays it out: a colour map of `mapLength` entries of `mapBits`
// bits, the descriptor byte as given.
std::string header(std::uint8_t idLength, std::uint8_t imageType, std::uint16_t width, std::uint16_t height,
                   std::uint8_t bitsPerPixel, std::uint8_t descriptor = 0, std::uint16_t mapLength = 0,
                   std::uint8_t mapBits = 0) {
  const int bytes[18] = {idLength, mapLength > 0, imageType, 0, 0, mapLength & 0xFF, mapLength >> 8, mapBits, 0, 0, 0, 0,
                         width & 0xFF, width >> 8, height & 0xFF, height >> 8, bitsPerPixel, descriptor};
  return std::string(std::begin(bytes), std::end(bytes));
}

TEST(ImageTest, ReadsPixelsBottomRowFirstPastTheIdentificationAndColourMap) {
  std::string pixels = "abcdefghijklmnopqr";
  const struct {
    std::string bytes;
    int width, height, bitsPerPixel;
    std::string rows;  // as the texture takes them, bottom first
  } cases[] = {
      {header(12, 2, 3, 2, 24) + "made by hand" + pixels, 3, 2, 24, pixels},
      // Top-left origin: the rows are turned, each row's pixels kept in order.
      {header(0, 2, 1, 3, 32, 0x28) + "abcdefghijkl", 1, 3, 32, "ijklefghabcd"},
      // Two 15-bit entries take 2 bytes each; the pixels follow the identification and the map.
      {header(1, 2, 2, 1, 24, 0, 2, 15) + "#" + "MMMM" + pixels.substr(0, 6), 2, 1, 24, pixels.substr(0, 6)},
  };
  for (const auto& c : cases) {
    const Image image = readTga(bytesOf(c.bytes), "good.tga");
    EXPECT_EQ(std::tuple(image.width, image.height, image.bitsPerPixel, std::string(image.pixels.begin(), image.pixels.end())),
              std::tuple(c.width, c.height, c.bitsPerPixel, c.rows));
  }
}

TEST(ImageTest, MalformedAndTruncatedImagesAreRefusedWithTheirMessagesAndPlaces) {
  const struct {
    std::string bytes, message, place;
  } cases[] = {
      {header(0, 2, 1, 1, 24).substr(0, 17), "Unexpected end of file in bad.tga at byte 17", "bad.tga, byte 17"},
      {header(200, 2, 1, 1, 24) + "abc", "Image identification runs past the end of bad.tga", "bad.tga, byte 0: found \"200\""},
      // 64 MB promised by a 19-byte file: refused before anything is allocated.
      {header(0, 2, 4096, 4096, 32) + "x", "Image bad.tga holds fewer pixels than its 4096 x 4096 x 32-bit header declares",
       "bad.tga, byte 18: found \"1 bytes of 67108864\""},
      {header(0, 2, 1, 1, 24, 0, 3, 24) + "abcdefgh", "Colour map runs past the end of bad.tga",
       "bad.tga, byte 5: found \"9 bytes\""},
      // Larger than a texture can be: refused from the header, however large the file.
      {header(0, 2, 65535, 65535, 32), "Image bad.tga of 65535 x 65535 x 32-bit is larger than 16384 pixels on a side",
       "bad.tga, byte 12: found \"65535 x 65535\""},
      {header(0, 2, 1, 16385, 24), "Image bad.tga of 1 x 16385 x 24-bit is larger than 16384 pixels on a side", ""},
      // Depths no texture takes, refused before their pixels are read.
      {header(0, 2, 65535, 65535, 8), "Unrecognized Image", "bad.tga, byte 16: found \"8 bits per pixel\""},
      {header(0, 0, 1, 1, 24) + "abc", "TGA image type 0 is not uncompressed true colour (type 2): bad.tga",
       "bad.tga, byte 2: found \"0\""},
      {header(0, 10, 1, 1, 24) + "\x80" "abc", "TGA image type 10 is not uncompressed true colour (type 2): bad.tga", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(messageOf([&] { readTga(bytesOf(c.bytes), "bad.tga"); }), c.message);
    EXPECT_EQ(c.place.empty() ? "" : placeOf([&] { readTga(bytesOf(c.bytes), "bad.tga"); }), c.place);
  }
  // Every truncation of a good image is refused.
  const std::string whole = header(2, 2, 3, 2, 32) + "id" + std::string(24, '\x7F');
  EXPECT_EQ(readTga(bytesOf(whole), "cut.tga").pixels.size(), 24u);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    EXPECT_THROW(readTga(bytesOf(std::string_view(whole).substr(0, size)), "cut.tga"), common::Error) << size;
  }
}

}  // namespace
}  // namespace tessarine::mesh
