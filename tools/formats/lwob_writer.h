// Writes LightWave 3 to 5 objects (LWOB): points, surface names, faces with their detail
// polygons, and surfaces with 8.8 fixed-point values and a colour image texture.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessarine::formats {

struct LwobFace {
  std::vector<std::uint16_t> points;
  std::int16_t surface = 1;  // 1-based, into the surface names
};

struct LwobPolygon {
  LwobFace face;
  std::vector<LwobFace> details;  // written after it, announced by a negative surface
};

struct LwobTexture {
  std::string type = "Planar Image Map";  // the ?TEX string
  std::string image;                      // TIMG
  std::uint16_t flags = 0;                // TFLG: axis bits 0-2, world coordinates, negative
  std::array<float, 3> center{0, 0, 0};
  std::array<float, 3> size{1, 1, 1};
  std::array<std::uint16_t, 2> wrap{2, 2};  // TWRP: 0 black, 1 clamp, 2 repeat, 3 mirror
  float widthWrapAmount = 1;                // TFP0
};

struct LwobSurface {
  std::string name;
  std::array<std::uint8_t, 3> color{200, 200, 200};
  std::uint16_t flags = 0;            // FLAG: 4 smoothing, 256 double-sided
  std::uint16_t diffuse = 256;        // of 256
  std::optional<float> floatDiffuse;  // VDIF, which wins over DIFF
  std::uint16_t glossExponent = 64;
  std::optional<float> smoothingAngle;     // SMAN, radians
  std::vector<LwobTexture> colorTextures;  // CTEX
};

struct LwobObject {
  std::vector<std::array<float, 3>> points;
  std::vector<std::string> surfaceNames;
  std::vector<LwobPolygon> polygons;
  std::vector<LwobSurface> surfaces;
};

// The whole file: SRFS, PNTS, POLS, then the SURF chunks.
std::string writeLwob(const LwobObject& object);

}  // namespace tessarine::formats
