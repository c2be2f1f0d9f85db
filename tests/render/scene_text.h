// Pieces of scene files written by hand in tests: motion and envelope sections, a scene
// header and a camera; and small textured objects written with the format writers.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "formats/lwo2_writer.h"
#include "formats/tga_writer.h"
#include "support/temp_dir.h"

namespace tessarine::testing {

// One key of a motion: position, heading, pitch, bank; unit scale.
struct Pose {
  float x = 0, y = 0, z = 0;
  float heading = 0, pitch = 0, bank = 0;
  std::uint32_t frame = 0;
  bool linear = true;
};

inline std::string motionSection(const std::vector<Pose>& keys) {
  std::ostringstream out;
  out << "(unnamed)\n9\n" << keys.size() << "\n";
  for (const Pose& k : keys) {
    out << k.x << ' ' << k.y << ' ' << k.z << ' ' << k.heading << ' ' << k.pitch << ' ' << k.bank << " 1 1 1\n"
        << k.frame << ' ' << (k.linear ? 1 : 0) << " 0 0 0\n";
  }
  out << "EndBehavior 1\n";
  return out.str();
}

inline std::string still(Pose pose) { return motionSection({pose}); }

// An envelope whose spans are straight lines, as the "(envelope)" slot it follows; keys are
// (frame, value).
inline std::string envelope(const std::vector<std::pair<std::uint32_t, float>>& keys) {
  std::ostringstream out;
  out << "(envelope)\n1\n" << keys.size() << "\n";
  for (const auto& [frame, value] : keys) out << value << "\n" << frame << " 1 0 0 0\n";
  out << "EndBehavior 1\n";
  return out.str();
}

inline std::string header(std::uint32_t firstFrame, std::uint32_t lastFrame, float framesPerSecond = 30) {
  std::ostringstream out;
  out << "LWSC\n1\n\nFirstFrame " << firstFrame << "\nLastFrame " << lastFrame << "\nFramesPerSecond "
      << framesPerSecond << "\n";
  return out.str();
}

inline std::string camera(const std::string& motion, const std::string& zoom = "1") {
  return "CameraMotion " + motion + "ZoomFactor " + zoom + "\n";
}

// An object part ends with "ParentObject" or, as modeller output does, with a setting that
// the reader consumes in its place.
inline std::string object(const std::string& file, const std::string& motion, int parent = -1) {
  return (file.empty() ? "AddNull Null\n" : "LoadObject " + file + "\n") + "ShowObject 6 7\nObjectMotion " + motion +
         (parent >= 0 ? "ParentObject " + std::to_string(parent) + "\n" : "ShadowOptions 7\n");
}

inline std::string null(const std::string& motion, int parent = -1) { return object("", motion, parent); }

// type 0 distant, 1 point, 2 spot (then `cone` follows ConeAngle).
inline std::string light(const std::string& motion, std::array<int, 3> color, const std::string& intensity,
                         int type, const std::string& cone = "30") {
  std::ostringstream out;
  out << "LightMotion " << motion << "LightColor " << color[0] << ' ' << color[1] << ' ' << color[2]
      << "\nLgtIntensity " << intensity << "\nLightType " << type << "\n";
  if (type == 2) out << "ConeAngle " << cone << "\n";
  return out.str();
}

// A 2 x 2 square in the plane z = 0, wound clockwise as seen from -z (the side it faces),
// and a one-colour texture beside it (`name` ends in ".lwo").
inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void writeSquare(const std::filesystem::path& dir, const std::string& name, std::array<std::uint8_t, 3> rgb,
                        float halfSize = 1) {
  const float h = halfSize;
  const std::string image = name.substr(0, name.size() - 3) + "tga";
  formats::ObjectData square;
  square.points = {{-h, h, 0}, {h, h, 0}, {h, -h, 0}, {-h, -h, 0}};
  square.uvs = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  square.polygons = {{0, 1, 2, 3}};
  square.imageFile = image;
  writeFile(dir / name, formats::writeLwo2(square));

  constexpr std::uint16_t kSide = 4;
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < kSide * kSide; ++i) pixels.insert(pixels.end(), {rgb[2], rgb[1], rgb[0]});
  writeFile(dir / image, formats::writeTga({.width = kSide, .height = kSide, .bitsPerPixel = 24, .pixels = pixels}));
}

inline void writeSquare(const TempDir& dir, const std::string& name, std::array<std::uint8_t, 3> rgb,
                        float halfSize = 1) {
  writeSquare(dir.path(), name, rgb, halfSize);
}

}  // namespace tessarine::testing
