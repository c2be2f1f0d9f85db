// Scene file text and object files that the scene tests write at run time.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "common/error.h"
#include "support/error_message.h"
#include "formats/lwo2_writer.h"
#include "formats/tga_writer.h"
#include "mesh/texture.h"
#include "support/temp_dir.h"

namespace tessarine::scene::testing {

using tessarine::testing::messageOf;

// A texture maker for tests that do not need GL.
inline mesh::Texture noTexture(const mesh::Image&, float) { return mesh::Texture(); }

struct Pose {
  float x = 0, y = 0, z = 0;
  float heading = 0, pitch = 0, bank = 0;
  float scaleX = 1, scaleY = 1, scaleZ = 1;
};

// A motion section (what follows the motion keyword) with `frame`-numbered keys whose
// spans are all linear, so values between keys are plain interpolations.
inline std::string motion(std::initializer_list<std::pair<std::uint32_t, Pose>> keys) {
  std::string text = "(unnamed)\n  9\n  " + std::to_string(keys.size()) + "\n";
  for (const auto& [frame, p] : keys) {
    text += "  ";
    for (float v : {p.x, p.y, p.z, p.heading, p.pitch, p.bank, p.scaleX, p.scaleY, p.scaleZ}) {
      text += std::to_string(v) + " ";
    }
    text += "\n  " + std::to_string(frame) + " 1 0 0 0\n";
  }
  return text + "EndBehavior 1\n";
}

// One key at frame 0.
inline std::string still(Pose pose = {}) { return motion({{0, pose}}); }

// An envelope section (what follows "(envelope)"), linear between its keys.
inline std::string envelope(std::initializer_list<std::pair<std::uint32_t, float>> keys) {
  std::string text = "  1\n  " + std::to_string(keys.size()) + "\n";
  for (const auto& [frame, value] : keys) {
    text += "  " + std::to_string(value) + "\n  " + std::to_string(frame) + " 1 0 0 0\n";
  }
  return text + "EndBehavior 1\n";
}

inline const std::string kHeader = "LWSC\n1\n\nFirstFrame 0\nLastFrame 60\nFramesPerSecond 30\n";

// The camera item with a plain zoom; `between` stands between the motion and the zoom.
inline std::string cameraItem(Pose pose = {}, const std::string& between = "") {
  return "CameraMotion " + still(pose) + between + "ZoomFactor 3.2\n";
}

// An object part. The line after the motion stands for the options a modeller writes
// there: the reader consumes the first token after a motion whatever it is.
inline std::string objectPart(const std::string& motionText, int parent = -1) {
  std::string text = "ShowObject 6 7\nObjectMotion " + motionText;
  if (parent >= 0) return text + "ParentObject " + std::to_string(parent) + "\n";
  return text + "ShadowOptions 7\n";
}

inline std::string nullItem(Pose pose = {}, int parent = -1) {
  return "AddNull Null\n" + objectPart(still(pose), parent);
}

inline std::string objectItem(const std::string& file, Pose pose = {}, int parent = -1) {
  return "LoadObject " + file + "\n" + objectPart(still(pose), parent);
}

// A light: `settings` follow the motion ("LightColor ... LightType n ...").
inline std::string lightItem(const std::string& settings, Pose pose = {}) {
  return "LightMotion " + still(pose) + settings;
}

inline const std::string kPointLight = "LightColor 255 255 255\nLgtIntensity 1\nLightType 1\n";

// A one-triangle object with the 2 x 2 image that must stand beside it.
inline void writeObject(const tessarine::testing::TempDir& dir, const std::string& name) {
  formats::ObjectData data;
  data.points = {{0, 0, 0}, {0, 2, 0}, {3, 2, -1}};
  data.uvs = {{0, 0}, {0, 1}, {1, 1}};
  data.polygons = {{0, 1, 2}};
  dir.write(name, formats::writeLwo2(data));
  formats::TgaImage image;
  image.width = 2;
  image.height = 2;
  image.pixels.assign(12, 0x80);
  dir.write(name.substr(0, name.size() - 3) + "tga", formats::writeTga(image));
}

}  // namespace tessarine::scene::testing
