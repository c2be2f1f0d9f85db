// Terse fixtures for the scene writer: motions from poses, straight-line envelopes, and
// one textured square object with its image, written with the format writers.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "formats/lwo2_writer.h"
#include "formats/lws_writer.h"
#include "formats/tga_writer.h"

namespace tessarine::testing {

// One key of a motion: position, heading, pitch, bank; unit scale; straight spans.
struct Pose {
  float x = 0, y = 0, z = 0;
  float heading = 0, pitch = 0, bank = 0;
  std::uint32_t frame = 0;
};

inline formats::LwsMotion motion(const std::vector<Pose>& poses) {
  formats::LwsMotion keys;
  for (const Pose& p : poses) {
    formats::LwsMotionKey key;
    key.values = {p.x, p.y, p.z, p.heading, p.pitch, p.bank, 1, 1, 1};
    key.frame = p.frame;
    key.linear = true;
    keys.push_back(key);
  }
  return keys;
}

inline formats::LwsMotion still(Pose pose) { return motion({pose}); }

// Straight spans through (frame, value) points.
inline formats::LwsValue ramp(const std::vector<std::pair<std::uint32_t, float>>& points) {
  formats::LwsEnvelope keys;
  for (const auto& [frame, value] : points) keys.push_back({.values = {value}, .frame = frame, .linear = true});
  return keys;
}

inline formats::LwsObject object(const std::string& file, formats::LwsMotion motion) {
  return {.objectFile = file, .motion = std::move(motion)};
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A 2 x 2 square in the plane z = 0, wound clockwise as seen from -z (the side it faces),
// and a one-colour texture beside it (`name` ends in ".lwo").
inline void writeSquare(const std::filesystem::path& dir, const std::string& name, std::array<std::uint8_t, 3> rgb) {
  const std::string image = name.substr(0, name.size() - 3) + "tga";
  formats::ObjectData square;
  square.points = {{-1, 1, 0}, {1, 1, 0}, {1, -1, 0}, {-1, -1, 0}};
  square.uvs = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  square.polygons = {{0, 1, 2, 3}};
  square.imageFile = image;
  writeFile(dir / name, formats::writeLwo2(square));

  constexpr std::uint16_t kSide = 4;
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < kSide * kSide; ++i) pixels.insert(pixels.end(), {rgb[2], rgb[1], rgb[0]});
  writeFile(dir / image, formats::writeTga({.width = kSide, .height = kSide, .bitsPerPixel = 24, .pixels = pixels}));
}

}  // namespace tessarine::testing
