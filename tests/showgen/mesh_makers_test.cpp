// Shape makers: every face turned outwards as the player judges it (its normal from the
// first three points, its front faces clockwise after the mirror), texture coordinates
// for every point, and the objects read back by the player's LWO2 reader.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "common/error.h"
#include "mesh/mesh_fixtures.h"
#include "showgen/mesh_builder.h"
#include "showgen/mesh_makers.h"
#include "support/temp_dir.h"

namespace tessarine::showgen {
namespace {

Vec3 at(const formats::ObjectData& o, std::uint16_t i) { return {o.points[i][0], o.points[i][1], o.points[i][2]}; }

Vec3 centroid(const formats::ObjectData& o, const std::vector<std::uint16_t>& polygon) {
  Vec3 c;
  for (std::uint16_t i : polygon) c = c + at(o, i);
  return c * (1.0 / polygon.size());
}

// Each polygon's player normal must agree with `outward` at its centroid.
void expectFacesOutward(const formats::ObjectData& o, const std::function<Vec3(const Vec3&)>& outward,
                        const char* what) {
  ASSERT_EQ(o.uvs.size(), o.points.size()) << what;
  ASSERT_FALSE(o.polygons.empty()) << what;
  for (std::size_t p = 0; p < o.polygons.size(); ++p) {
    const auto& poly = o.polygons[p];
    ASSERT_GE(poly.size(), 3u) << what;
    Vec3 n = playerFaceNormal(at(o, poly[0]), at(o, poly[1]), at(o, poly[2]));
    EXPECT_NEAR(n.length(), 1, 1e-6) << what << " polygon " << p << " has no normal";
    EXPECT_GT(n.dot(outward(centroid(o, poly)).normalized()), 0.2) << what << " polygon " << p;
  }
}

TEST(MeshMakers, EveryShapeFacesOutwards) {
  expectFacesOutward(makeBox("b.tga", {2, 4, 6}), [](const Vec3& c) { return c; }, "box");
  expectFacesOutward(makeSphere("s.tga", 1, 8, 12), [](const Vec3& c) { return c; }, "sphere");
  expectFacesOutward(makeStrut("t.tga", 1, 0.1, 6), [](const Vec3& c) { return c; }, "strut");
  expectFacesOutward(makeTower("w.tga", 2, 10, 6, 4, 3), [](const Vec3& c) { return c - Vec3{0, 5, 0}; }, "tower");
  expectFacesOutward(
      makeRing("r.tga", 4, 0.5, 24, 6),
      [](const Vec3& c) {
        double theta = std::atan2(c.y, c.x);
        return c - Vec3{4 * std::cos(theta), 4 * std::sin(theta), 0};
      },
      "ring");
  expectFacesOutward(
      makeTerrain("g.tga", 10, 10, 100, 100, [](double x, double z) { return 5 * std::sin(x / 10) * std::cos(z / 13); }),
      [](const Vec3&) { return Vec3{0, 1, 0}; }, "terrain");
  // A camera looking along +z sees the plate's front.
  expectFacesOutward(makePlate("p.tga", 4, 1), [](const Vec3&) { return Vec3{0, 0, -1}; }, "plate");
}

TEST(MeshMakers, ExtentsAndPlateCoordinates) {
  for (const auto& p : makeStrut("t.tga", 2, 0.2, 4).points) {
    EXPECT_LE(std::abs(p[1]), 1.0f + 1e-6f);
    EXPECT_NEAR(std::hypot(p[0], p[2]), 0.1, 1e-6);
  }
  // Texture coordinates of a plate run left to right and bottom to top as the camera sees it.
  formats::ObjectData plate = makePlate("p.tga", 4, 2);
  for (std::size_t i = 0; i < plate.points.size(); ++i) {
    EXPECT_FLOAT_EQ(plate.uvs[i][0], plate.points[i][0] / 4 + 0.5f);
    EXPECT_FLOAT_EQ(plate.uvs[i][1], plate.points[i][1] / 2 + 0.5f);
  }
}

TEST(MeshBuilder, RefusesMorePointsThanTheShortIndexHolds) {
  MeshBuilder b;
  for (std::size_t i = 0; i < kMaxMeshPoints; ++i) b.point({0, 0, 0}, 0, 0);
  EXPECT_THROW(b.point({0, 0, 0}, 0, 0), common::Error);
}

TEST(MeshMakers, ThePlayersReaderAgreesOnNormalsAndCoordinates) {
  testing::TempDir dir;
  formats::ObjectData tower = makeTower("tower.tga", 2, 10, 6, 3, 3);
  dir.write("tower.lwo", formats::writeLwo2(tower));
  dir.write("tower.tga", formats::writeTga(mesh::testing::smallImage()));
  mesh::Mesh read("tower.lwo", dir.str(), mesh::testing::noTexture);
  ASSERT_EQ(read.pointCount(), tower.points.size());
  ASSERT_EQ(read.polygonCount(), tower.polygons.size());
  for (std::size_t p = 0; p < tower.polygons.size(); ++p) {
    const auto& poly = tower.polygons[p];
    Vec3 want = playerFaceNormal(at(tower, poly[0]), at(tower, poly[1]), at(tower, poly[2]));
    const auto& n = read.polygons()[p].normal;
    EXPECT_NEAR((Vec3{n[0], n[1], n[2]} - want).length(), 0, 1e-5) << p;
  }
  for (std::size_t i = 0; i < tower.uvs.size(); ++i) {
    EXPECT_EQ(std::pair(read.uvs()[i].u, read.uvs()[i].v), std::pair(tower.uvs[i][0], tower.uvs[i][1])) << i;
  }
}

}  // namespace
}  // namespace tessarine::showgen
