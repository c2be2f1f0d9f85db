// The batches drawn for LightWave objects built in memory, against hand-worked values: smoothing
// within the angle and the surface, fans, lines and points, every projection, the seam, and a
// polygon's own UVs over the points'.
#include "mesh/surface_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "mesh/uv_projection.h"

namespace tessarine::mesh {
namespace {

using Floats = std::vector<float>;

void addPolygon(LightWaveObject& object, const std::vector<std::uint32_t>& points, std::uint32_t surface,
                PolygonType type = PolygonType::kFace) {
  object.polygons.push_back({static_cast<std::uint32_t>(object.indices.size()),
                             static_cast<std::uint32_t>(points.size()), surface, 0, type});
  object.indices.insert(object.indices.end(), points.begin(), points.end());
}

// The unit cube of LightWave's own examples, both surfaces smoothed at `degrees`.
LightWaveObject cube(float degrees) {
  LightWaveObject object;
  object.points = {{-.5f, -.5f, -.5f}, {.5f, -.5f, -.5f}, {.5f, -.5f, .5f}, {-.5f, -.5f, .5f},
                   {-.5f, .5f, -.5f},  {.5f, .5f, -.5f},  {.5f, .5f, .5f},  {-.5f, .5f, .5f}};
  for (const auto& face : std::vector<std::vector<std::uint32_t>>{
           {0, 1, 2, 3}, {0, 4, 5, 1}, {1, 5, 6, 2}, {3, 2, 6, 7}, {0, 3, 7, 4}, {4, 7, 6, 5}}) {
    addPolygon(object, face, 0);
  }
  object.surfaces.resize(2);
  for (Surface& surface : object.surfaces) surface.smoothingAngle = degrees * std::numbers::pi_v<float> / 180;
  return object;
}

testing::AssertionResult near(std::span<const float> actual, const Floats& expected) {
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (!(std::abs(actual[i] - expected[i]) <= 1e-5f)) return testing::AssertionFailure() << i << ": " << actual[i];
  }
  return testing::AssertionSuccess();
}

std::span<const float> normalOf(const SurfaceBatch& batch, std::size_t v) { return {&batch.normals[3 * v], 3}; }

TEST(SurfaceGeometry, SmoothsCornersWithinTheAngleAndTheSurfaceOnly) {
  const SurfaceGeometry flat = buildSurfaceGeometry(cube(89));
  ASSERT_EQ(flat.batches.size(), 1u);
  // Outward, and every corner keeps its face's normal.
  const Floats faces[] = {{0, -1, 0}, {0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}};
  for (std::size_t v = 0; v < 24; ++v) EXPECT_TRUE(near(normalOf(flat.batches[0], v), faces[v / 4])) << v;

  // At 91 degrees each corner is the mean of its three faces: the corner's direction.
  const SurfaceBatch smooth = buildSurfaceGeometry(cube(91)).batches[0];
  const float k = 1 / std::sqrt(.75f);
  for (std::size_t v = 0; v < 24; ++v) {
    const float* p = &smooth.positions[3 * v];
    EXPECT_TRUE(near(normalOf(smooth, v), {p[0] * k, p[1] * k, p[2] * k})) << v;
  }

  // The left and top faces on a flat surface of their own: they do not smooth, nor join the rest.
  LightWaveObject twoSurfaces = cube(91);
  twoSurfaces.polygons[4].surface = twoSurfaces.polygons[5].surface = 1;
  twoSurfaces.surfaces[1].smoothingAngle.reset();
  const SurfaceGeometry split = buildSurfaceGeometry(twoSurfaces);
  ASSERT_EQ(split.batches.size(), 2u);
  for (std::size_t v = 0; v < 8; ++v) EXPECT_TRUE(near(normalOf(split.batches[1], v), faces[4 + v / 4]));
  // Point 5 of the front face (0 4 5 1) meets the right face only.
  EXPECT_TRUE(near(normalOf(split.batches[0], 6), {std::sqrt(.5f), 0, -std::sqrt(.5f)}));
}

TEST(SurfaceGeometry, SplitsFacesIntoFansAndKeepsLinesPointsAndTheDefaultSurface) {
  LightWaveObject object;
  object.points = {{0, 0, 0}, {1, 0, 0}, {2, 0, .5f}, {1, 0, 1}, {0, 0, 1}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}};
  object.surfaces.resize(1);
  addPolygon(object, {0, 1, 2, 3, 4}, 0);
  addPolygon(object, {0, 5}, 0);
  addPolygon(object, {6}, 0);
  addPolygon(object, {5, 6, 7}, 0);  // no area
  addPolygon(object, {0, 1, 2}, 0, PolygonType::kCurve);
  addPolygon(object, {0, 99}, 0);
  addPolygon(object, {0, 1, 2}, kNoSurface, PolygonType::kSubdivision);
  addPolygon(object, {1, 5, 3, 0}, 0);  // first, second and last points in line: Newell's normal
  const SurfaceGeometry geometry = buildSurfaceGeometry(object);
  ASSERT_EQ(geometry.batches.size(), 2u);
  const SurfaceBatch& batch = geometry.batches[0];
  EXPECT_EQ(batch.triangles, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4, 8, 9, 10, 11, 12, 13, 11, 13, 14}));
  EXPECT_EQ(batch.lines, (std::vector<std::uint32_t>{5, 6}));
  EXPECT_EQ(batch.points, (std::vector<std::uint32_t>{7}));
  EXPECT_EQ(batch.polygonCount, 5u);
  EXPECT_TRUE(near(normalOf(batch, 0), {0, -1, 0}));
  EXPECT_TRUE(near(normalOf(batch, 9), {0, 1, 0}));
  EXPECT_TRUE(near(normalOf(batch, 11), {0, -1, 0}));
  EXPECT_EQ(geometry.undrawnPolygons, 2u);
  EXPECT_EQ(geometry.batches[1].surface, kNoSurface);
  EXPECT_TRUE(near(normalOf(geometry.batches[1], 0), {0, -1, 0}));
  EXPECT_TRUE(near(geometry.boundsMax, {5, 0, 1}));
}

TEST(UvProjection, PlacesTheImageAsLightWaveDoes) {
  ColorMap map;
  map.center = {1, 1, 1};
  map.size = {2, 4, 8};
  auto at = [&](Projection projection, int axis, Point point, int cubicAxis = 0) {
    map.projection = projection;
    map.axis = axis;
    const TexCoord uv = UvProjection(map).at(point, cubicAxis);
    return Floats{uv[0], uv[1]};
  };
  using enum Projection;
  // (2, 0, 3) lies (1, -1, 2) from the centre.
  EXPECT_TRUE(near(at(kPlanar, 0, {2, 0, 3}), {.75f, .25f}));
  EXPECT_TRUE(near(at(kCubic, 2, {2, 0, 3}, 1), {1, .75f}));  // planar along y
  // v runs up: the top of the plane takes the image's top row, the last in memory.
  EXPECT_TRUE(near(at(kPlanar, 2, {1, 3, 1}), {.5f, 1}));
  EXPECT_EQ(dominantAxis({.6f, 0, -.6f}), 2);

  map.center = {0, 0, 0};
  map.widthWrapAmount = 2;
  EXPECT_TRUE(near(at(kCylindrical, 1, {0, 1, -1}), {1, .75f}));  // the middle faces -z
  EXPECT_TRUE(near(at(kCylindrical, 1, {1, -2, 0}), {1.5f, 0}));
  EXPECT_TRUE(near(at(kCylindrical, 0, {.5f, 0, -1}), {1.5f, .75f}));
  map.widthWrapAmount = 1;
  map.heightWrapAmount = 2;
  EXPECT_TRUE(near(at(kSpherical, 1, {0, 1, -1}), {.5f, 1.5f}));

  map = ColorMap{};
  map.rotation = {std::numbers::pi_v<float> / 2, 0, 0};  // heading turns the plane to face x
  EXPECT_TRUE(near(at(kPlanar, 2, {0, .25f, -.5f}), {1, .75f}));
  map.size = {0, 1, 1};  // a size of zero is taken as one
  EXPECT_TRUE(near(at(kPlanar, 2, {-.5f, .25f, 0}), {.5f, .75f}));
}

TEST(SurfaceGeometry, JoinsTheSeamAndTakesCornerUvsOverPointUvs) {
  LightWaveObject object;
  object.points = {{-.1f, 0, 1}, {.1f, 0, 1}, {0, 1, 1}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  object.surfaces.resize(2);
  object.surfaces[0].colorMap.emplace().projection = Projection::kCylindrical;
  object.surfaces[0].colorMap->axis = 1;
  object.surfaces[1].colorMap.emplace().projection = Projection::kUv;
  object.surfaces[1].colorMap->uvMap = "UV";
  object.uvMaps.push_back({"UV", {{3, .1f, .2f}, {4, .3f, .4f}, {5, .5f, .6f}}, {{2, 4, .9f, .9f}}});
  addPolygon(object, {0, 1, 2}, 0);  // straddles the seam behind the cylinder
  addPolygon(object, {3, 4, 5, 6}, 1);
  addPolygon(object, {4, 5, 3}, 1);
  const SurfaceGeometry geometry = buildSurfaceGeometry(object);
  const float side = std::atan(.1f) / (2 * std::numbers::pi_v<float>);
  EXPECT_TRUE(near(geometry.batches[0].uvs, {side, .5f, -side, .5f, 0, 1.5f}));
  // Point 6 is not in the map; polygon 2 has its own UV at point 4.
  EXPECT_TRUE(near(geometry.batches[1].uvs, {.1f, .2f, .3f, .4f, .5f, .6f, 0, 0, .9f, .9f, .5f, .6f, .1f, .2f}));
}

}  // namespace
}  // namespace tessarine::mesh
