// The show's shapes, built on MeshBuilder's grids and oriented polygons.
#include "showgen/mesh_makers.h"

#include <cmath>

#include "showgen/mesh_builder.h"

namespace tessarine::showgen {
namespace {

std::string surfaceFor(const std::string& imageFile) {
  std::size_t dot = imageFile.rfind('.');
  return dot == std::string::npos ? imageFile : imageFile.substr(0, dot);
}

}  // namespace

formats::ObjectData makeRing(const std::string& imageFile, double radius, double tubeRadius, int segments, int sides) {
  MeshBuilder b;
  auto angles = [](double u, double v) { return std::pair{2 * kPi * u, 2 * kPi * v}; };
  b.grid(
      segments, sides,
      [&](double u, double v) {
        auto [theta, phi] = angles(u, v);
        double r = radius + tubeRadius * std::cos(phi);
        return Vec3{r * std::cos(theta), r * std::sin(theta), tubeRadius * std::sin(phi)};
      },
      [&](double u, double v) {
        auto [theta, phi] = angles(u, v);
        return Vec3{std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta), std::sin(phi)};
      },
      4, 1);
  return b.take(surfaceFor(imageFile), imageFile);
}

formats::ObjectData makeBox(const std::string& imageFile, const Vec3& size) {
  MeshBuilder b;
  Vec3 h = size * 0.5;
  // Each face: its outward axis and two in-plane axes.
  const Vec3 axes[6][3] = {
      {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},
      {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}}, {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}},
  };
  auto scale = [&](const Vec3& v) { return Vec3{v.x * h.x, v.y * h.y, v.z * h.z}; };
  for (const auto& face : axes) {
    Vec3 n = face[0], s = face[1], t = face[2];
    b.grid(
        1, 1, [&](double u, double v) { return scale(n + s * (2 * u - 1) + t * (2 * v - 1)); },
        [&](double, double) { return n; });
  }
  return b.take(surfaceFor(imageFile), imageFile);
}

formats::ObjectData makeSphere(const std::string& imageFile, double radius, int rings, int segments) {
  MeshBuilder b;
  auto direction = [](double u, double v) {
    // The poles exactly, so their rows close into triangles.
    if (v <= 0 || v >= 1) return Vec3{0, v <= 0 ? -1.0 : 1.0, 0};
    double theta = 2 * kPi * u, phi = kPi * (v - 0.5);
    return Vec3{std::cos(phi) * std::sin(theta), std::sin(phi), std::cos(phi) * std::cos(theta)};
  };
  b.grid(
      segments, rings, [&](double u, double v) { return direction(u, v) * radius; },
      [&](double u, double v) { return direction(u, v); });
  return b.take(surfaceFor(imageFile), imageFile);
}

formats::ObjectData makeStrut(const std::string& imageFile, double length, double thickness, int sides) {
  MeshBuilder b;
  double r = thickness * 0.5, half = length * 0.5;
  // Half a side's turn, so a square strut has flat faces along the axes.
  double offset = kPi / sides;
  auto around = [&](double u) { return Vec3{std::sin(2 * kPi * u + offset), 0, std::cos(2 * kPi * u + offset)}; };
  b.grid(
      sides, 1, [&](double u, double v) { return around(u) * r + Vec3{0, -half + length * v, 0}; },
      [&](double u, double) { return around(u); });
  for (double y : {-half, half}) {
    std::vector<std::uint16_t> cap;
    for (int i = 0; i < sides; ++i) {
      Vec3 d = around(static_cast<double>(i) / sides);
      cap.push_back(b.point(d * r + Vec3{0, y, 0}, 0.5 + 0.5 * d.x, 0.5 + 0.5 * d.z));
    }
    b.polygon(cap, Vec3{0, y, 0});
  }
  return b.take(surfaceFor(imageFile), imageFile);
}

formats::ObjectData makeTerrain(const std::string& imageFile, int cellsX, int cellsZ, double sizeX, double sizeZ,
                                const std::function<double(double, double)>& height) {
  MeshBuilder b;
  auto at = [&](double u, double v) {
    double x = (u - 0.5) * sizeX, z = (v - 0.5) * sizeZ;
    return Vec3{x, height(x, z), z};
  };
  b.grid(cellsX, cellsZ, at, [](double, double) { return Vec3{0, 1, 0}; });
  return b.take(surfaceFor(imageFile), imageFile);
}

formats::ObjectData makeFlatGround(const std::string& imageFile, double size, const std::vector<double>& lines) {
  MeshBuilder b;
  const std::size_t n = lines.size();
  for (double z : lines) {
    for (double x : lines) b.point({x, 0, z}, x / size + 0.5, z / size + 0.5);
  }
  auto at = [n](std::size_t i, std::size_t j) { return static_cast<std::uint16_t>(j * n + i); };
  for (std::size_t j = 0; j + 1 < n; ++j) {
    for (std::size_t i = 0; i + 1 < n; ++i) b.polygon({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)}, {0, 1, 0});
  }
  return b.take(surfaceFor(imageFile), imageFile);
}

formats::ObjectData makePlate(const std::string& imageFile, double width, double height) {
  MeshBuilder b;
  b.grid(
      1, 1, [&](double u, double v) { return Vec3{(u - 0.5) * width, (v - 0.5) * height, 0}; },
      [](double, double) { return Vec3{0, 0, -1}; });
  return b.take(surfaceFor(imageFile), imageFile);
}

formats::ObjectData makeTower(const std::string& imageFile, double radius, double height, int sides, int storeys,
                              double spire) {
  MeshBuilder b;
  double offset = kPi / sides;
  auto around = [&](double u) { return Vec3{std::sin(2 * kPi * u + offset), 0, std::cos(2 * kPi * u + offset)}; };
  // The walls take the lower part of the texture, the roof the top eighth.
  constexpr double kWallShare = 0.875;
  b.grid(
      sides, storeys, [&](double u, double v) { return around(u) * radius + Vec3{0, height * v, 0}; },
      [&](double u, double) { return around(u); }, 1, kWallShare);
  Vec3 apex{0, height + spire, 0};
  for (int i = 0; i < sides; ++i) {
    double u0 = static_cast<double>(i) / sides, u1 = static_cast<double>(i + 1) / sides;
    Vec3 a = around(u0) * radius + Vec3{0, height, 0}, c = around(u1) * radius + Vec3{0, height, 0};
    Vec3 mid = around((u0 + u1) / 2);
    Vec3 outward = (mid * spire + Vec3{0, radius, 0}).normalized();
    b.polygon({b.point(a, u0, kWallShare), b.point(c, u1, kWallShare), b.point(apex, (u0 + u1) / 2, 1)}, outward);
  }
  return b.take(surfaceFor(imageFile), imageFile);
}

formats::ObjectData makeCone(const std::string& imageFile, double length, double radius, int segments) {
  MeshBuilder b;
  auto around = [](double u) { return Vec3{std::cos(2 * kPi * u), std::sin(2 * kPi * u), 0}; };
  // One row of quads from the apex to the rim; the apex points coincide, so each
  // quad closes into a triangle.
  b.grid(
      segments, 1, [&](double u, double v) { return around(u) * (radius * v) + Vec3{0, 0, length * v}; },
      [&](double u, double) { return around(u) * length - Vec3{0, 0, radius}; });
  return b.take(surfaceFor(imageFile), imageFile);
}

}  // namespace tessarine::showgen
