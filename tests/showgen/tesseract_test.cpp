// The tesseract's structure, its 4D turn and projection, and the ring it unfolds into.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "showgen/tesseract.h"

namespace tessarine::showgen {
namespace {

TEST(Tesseract, SixteenVerticesThirtyTwoEdgesFourAtEachVertex) {
  Tesseract t;
  int degree[kTesseractVertices] = {};
  std::set<std::pair<int, int>> seen;
  for (int e = 0; e < kTesseractEdges; ++e) {
    auto [a, b] = t.edge(e);
    const Vec4 &va = t.vertex(a), &vb = t.vertex(b);
    EXPECT_EQ((va.x != vb.x) + (va.y != vb.y) + (va.z != vb.z) + (va.w != vb.w), 1) << e;
    EXPECT_TRUE(seen.insert({a, b}).second) << e;
    ++degree[a];
    ++degree[b];
  }
  for (int d : degree) EXPECT_EQ(d, 4);
  std::set<std::tuple<double, double, double, double>> corners;
  for (int i = 0; i < kTesseractVertices; ++i) {
    const Vec4& v = t.vertex(i);
    corners.insert({v.x, v.y, v.z, v.w});
    EXPECT_EQ(std::abs(v.x) + std::abs(v.y) + std::abs(v.z) + std::abs(v.w), 4);
  }
  EXPECT_EQ(corners.size(), 16u);
}

TEST(Tesseract, TurnAndPerspective) {
  Vec4 p = rotateXW({1, 2, 3, 0}, std::acos(-1.0) / 2);  // a quarter turn takes x into w
  EXPECT_NEAR(p.x, 0, 1e-12);
  EXPECT_NEAR(p.w, 1, 1e-12);
  EXPECT_EQ(p.y, 2);
  // Eye at w = 3: a point at w = 1 looks 1.5 times larger, one at w = -1 0.75 times.
  Projected near = projectFromW({1, 1, 1, 1}, 3);
  EXPECT_DOUBLE_EQ(near.scale, 1.5);
  EXPECT_DOUBLE_EQ(near.position.x, 1.5);
  EXPECT_DOUBLE_EQ(projectFromW({1, 1, 1, -1}, 3).scale, 0.75);
}

TEST(Tesseract, RingJoinsEveryEdgesEndsAsNeighboursAwayFromTheYAxis) {
  Tesseract t;
  constexpr double kRadius = 3, kTube = 1;
  std::set<std::tuple<long, long, long>> places;
  for (int i = 0; i < kTesseractVertices; ++i) {
    Vec3 p = ringPosition(t.vertex(i), kRadius, kTube);
    places.insert({std::lround(p.x * 1000), std::lround(p.y * 1000), std::lround(p.z * 1000)});
  }
  EXPECT_EQ(places.size(), 16u);
  for (int e = 0; e < kTesseractEdges; ++e) {
    auto [a, b] = t.edge(e);
    Vec3 chord = ringPosition(t.vertex(b), kRadius, kTube) - ringPosition(t.vertex(a), kRadius, kTube);
    // Neighbours a quarter turn apart around the ring (at most the outer radius times
    // root 2) or around the tube (the tube radius times root 2).
    EXPECT_LE(chord.length(), (kRadius + kTube) * std::sqrt(2.0) + 1e-9) << e;
    // Struts are turned onto their direction by heading and bank, which cannot point
    // near the y axis smoothly.
    EXPECT_LE(std::abs(chord.normalized().y), std::cos(std::acos(-1.0) / 4) + 1e-9) << e;
  }
}

}  // namespace
}  // namespace tessarine::showgen
