// What the show's own test cannot see in the pictures: the tesseract's shape, angles that
// turn the short way, the scene writer's numbers, faces turned outwards as the player's
// reader judges them, and textures' colour order.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "common/data_file.h"
#include "formats/lwo2_writer.h"
#include "formats/lws_writer.h"
#include "mesh/lwo_reader.h"
#include "showgen/canvas.h"
#include "showgen/key_makers.h"
#include "showgen/mesh_builder.h"
#include "showgen/mesh_makers.h"
#include "showgen/tesseract.h"

namespace tessarine::showgen {
namespace {

TEST(Tesseract, EdgesJoinCornersOneAxisApart) {
  Tesseract t;
  int degree[kTesseractVertices] = {};
  std::set<std::pair<int, int>> seen;
  for (int e = 0; e < kTesseractEdges; ++e) {
    auto [a, b] = t.edge(e);
    const Vec4 &va = t.vertex(a), &vb = t.vertex(b);
    EXPECT_EQ((va.x != vb.x) + (va.y != vb.y) + (va.z != vb.z) + (va.w != vb.w), 1) << e;
    EXPECT_TRUE(seen.insert(std::minmax(a, b)).second) << e;
    ++degree[a], ++degree[b];
  }
  for (int d : degree) EXPECT_EQ(d, 4);
}

TEST(KeyMakers, AnglesTurnTheShortWay) {
  // Heading 170 -> 190 -> 300 -> 420; bank 350 -> 370 -> 350 -> 370.
  const float headings[] = {170, -170, -60, 60}, banks[] = {350, 10, 350, 10};
  formats::LwsMotion m(4);
  for (int i = 0; i < 4; ++i) m[i].values[formats::kLwsHeading] = headings[i], m[i].values[formats::kLwsBank] = banks[i];
  unwrapAngles(m);
  for (auto [i, heading, bank] : {std::tuple{1, 190.0f, 370.0f}, {2, 300.0f, 350.0f}, {3, 420.0f, 370.0f}}) {
    EXPECT_TRUE(m[i].values[formats::kLwsHeading] == heading && m[i].values[formats::kLwsBank] == bank) << i;
  }
}

TEST(LwsNumber, FixedPointWithoutTrailingZerosOrNegativeZero) {
  const std::pair<float, const char*> cases[] = {{-0.0f, "0"}, {1.0f, "1"}, {-12.5f, "-12.5"}, {-1e-7f, "0"},
                                                 {3.2f, "3.2"}, {1234567.0f, "1234567"}, {0.000001f, "0.000001"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(formats::formatLwsNumber(value), text) << value;
}

// Each polygon's normal, as the player's reader computes it from the written file, agrees
// with `outward` at the polygon's centroid.
void expectFacesOutward(const formats::ObjectData& o, const std::function<Vec3(const Vec3&)>& outward, const char* what) {
  const mesh::Geometry read = mesh::readLwo2(common::bytesOf(formats::writeLwo2(o)), "shape.lwo");
  ASSERT_EQ(read.polygons.size(), o.polygons.size()) << what;
  ASSERT_EQ(o.uvs.size(), o.points.size()) << what;
  for (std::size_t p = 0; p < o.polygons.size(); ++p) {
    Vec3 centroid;
    for (std::uint16_t i : o.polygons[p]) centroid = centroid + Vec3{o.points[i][0], o.points[i][1], o.points[i][2]} * (1.0 / o.polygons[p].size());
    const auto& n = read.polygons[p].normal;
    EXPECT_GT((Vec3{n[0], n[1], n[2]}).dot(outward(centroid).normalized()), 0.2) << what << " polygon " << p;
  }
}

TEST(MeshMakers, EveryShapeFacesOutwardsAsThePlayerReadsIt) {
  auto fromCentre = [](const Vec3& c) { return c; };
  expectFacesOutward(makeBox("b.tga", {2, 4, 6}), fromCentre, "box");
  expectFacesOutward(makeSphere("s.tga", 1, 8, 12), fromCentre, "sphere");
  expectFacesOutward(makeStrut("t.tga", 1, 0.1, 6), fromCentre, "strut");
  expectFacesOutward(makeTower("w.tga", 2, 10, 6, 4, 3), [](const Vec3& c) { return c - Vec3{0, 5, 0}; }, "tower");
  auto aroundRing = [](const Vec3& c) { return c - Vec3{4 * std::cos(std::atan2(c.y, c.x)), 4 * std::sin(std::atan2(c.y, c.x)), 0}; };
  expectFacesOutward(makeRing("r.tga", 4, 0.5, 24, 6), aroundRing, "ring");
  auto hills = [](double x, double z) { return 5 * std::sin(x / 10) * std::cos(z / 13); };
  expectFacesOutward(makeTerrain("g.tga", 10, 10, 100, 100, hills), [](const Vec3&) { return Vec3{0, 1, 0}; }, "terrain");
  // A camera looking along +z sees the plate's front, its texture left to right, bottom to top.
  formats::ObjectData plate = makePlate("p.tga", 4, 2);
  expectFacesOutward(plate, [](const Vec3&) { return Vec3{0, 0, -1}; }, "plate");
  for (std::size_t i = 0; i < plate.points.size(); ++i) {
    EXPECT_FLOAT_EQ(plate.uvs[i][0], plate.points[i][0] / 4 + 0.5f);
    EXPECT_FLOAT_EQ(plate.uvs[i][1], plate.points[i][1] / 2 + 0.5f);
  }
}

TEST(Textures, KeepBlueGreenRedOrderAndAlphaOnlyWhenAsked) {
  Canvas c(2, 1, {1, 0.5f, 0, 0.25f});
  c.at(1, 0) = {0, 0, 1, 1};
  EXPECT_EQ(c.toTga(false).pixels, (std::vector<std::uint8_t>{0, 128, 255, 255, 0, 0}));
  EXPECT_EQ(c.toTga(true).pixels, (std::vector<std::uint8_t>{0, 128, 255, 64, 255, 0, 0, 255}));
}

}  // namespace
}  // namespace tessarine::showgen
