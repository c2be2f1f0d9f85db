// An object as LightWave writes it (LWOB, LWO2, LWO3), read into plain data: layers, the
// points of all layers, polygons of every type, surfaces with their colour image, UV maps.
// No GL and no file access: a reader fills it from bytes, drawing code makes GL objects from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mesh/geometry.h"

namespace tessarine::mesh {

enum class ObjectFormat { kLwob, kLwo2, kLwo3 };

// "LWOB", "LWO2" or "LWO3".
const char* objectFormatName(ObjectFormat format);

// Numbered as LWO2 numbers them in an image layer's PROJ.
enum class Projection { kPlanar, kCylindrical, kSpherical, kCubic, kFront, kUv };

// "planar", "cylindrical", "spherical", "cubic", "front" or "uv".
const char* projectionName(Projection projection);

// What an image shows past its edge, numbered as LWO2 numbers them in WRAP. LWOB's TWRP
// modes (black, clamp, repeat, mirror) are read into these (reset, edge, repeat, mirror).
enum class WrapMode { kReset, kRepeat, kMirror, kEdge };

// The colour channel's first enabled image layer, placed as LightWave places it.
struct ColorMap {
  std::string image;  // the path as written (the CLIP's STIL, or LWOB's TIMG)
  Projection projection = Projection::kPlanar;
  int axis = 0;  // 0 x, 1 y, 2 z: the projection's axis
  std::array<float, 3> center{0, 0, 0};
  std::array<float, 3> size{1, 1, 1};
  std::array<float, 3> rotation{0, 0, 0};  // heading, pitch, bank in radians
  bool worldCoordinates = false;           // centre and size are in world, not object, space
  WrapMode widthWrap = WrapMode::kRepeat;
  WrapMode heightWrap = WrapMode::kRepeat;
  float widthWrapAmount = 1;   // repeats around a cylinder or sphere
  float heightWrapAmount = 1;  // repeats from pole to pole of a sphere
  std::string uvMap;           // the VMAP that places a kUv image
  bool negative = false;       // colours inverted (LWOB TFLG, LWO2 NEGA)
  float opacity = 1;           // how much of the layer shows over what lies below
};

// A surface with LightWave's defaults for every value the file leaves out.
struct Surface {
  std::string name;
  std::array<float, 3> color{200.0f / 255, 200.0f / 255, 200.0f / 255};
  float diffuse = 1;
  float luminosity = 0;
  float specular = 0;
  float glossiness = 0.4f;  // 0..1; the highlight's exponent is 2^(10 g + 2)
  float reflection = 0;
  float transparency = 0;
  std::optional<float> smoothingAngle;  // radians; none: the surface is flat-shaded
  bool doubleSided = false;
  std::optional<ColorMap> colorMap;
};

struct Layer {
  std::uint32_t number = 0;  // as the file numbers it
  std::string name;
  std::array<float, 3> pivot{0, 0, 0};
  std::optional<std::uint32_t> parent;  // the parent's number
  bool hidden = false;
  std::uint32_t firstPoint = 0;  // into LightWaveObject::points
  std::uint32_t pointCount = 0;
};

// FACE, CURV, PTCH (subdivision patch), SUBD (Catmull-Clark patch), MBAL, BONE, and any other
// type a file names, kept so that polygon numbers still match the file's.
enum class PolygonType { kFace, kCurve, kPatch, kSubdivision, kMetaball, kBone, kOther };

// "face", "curve", "patch", "subdivision", "metaball", "bone" or "other".
const char* polygonTypeName(PolygonType type);

inline constexpr std::uint32_t kNoSurface = 0xFFFFFFFFu;

struct ObjectPolygon {
  std::uint32_t firstIndex = 0;  // into LightWaveObject::indices
  std::uint32_t vertexCount = 0;
  std::uint32_t surface = kNoSurface;  // into LightWaveObject::surfaces
  std::uint32_t layer = 0;             // into LightWaveObject::layers
  PolygonType type = PolygonType::kFace;
};

struct UvPoint {
  std::uint32_t point = 0;  // into LightWaveObject::points
  float u = 0;
  float v = 0;
};

// A polygon's own coordinates at one of its corners, where the map is discontinuous.
struct UvCorner {
  std::uint32_t polygon = 0;  // into LightWaveObject::polygons
  std::uint32_t point = 0;    // into LightWaveObject::points
  float u = 0;
  float v = 0;
};

// A TXUV map by name, merged over all layers: entries only for the points it covers.
struct UvMap {
  std::string name;
  std::vector<UvPoint> points;
  std::vector<UvCorner> corners;
};

// A chunk or sub-chunk that was passed by, and how many times ("SURF RIND", "ENVL").
struct SkippedPart {
  std::string tag;
  std::uint32_t count = 0;
};

struct LightWaveObject {
  ObjectFormat format = ObjectFormat::kLwo2;
  std::vector<Layer> layers;
  std::vector<Point> points;            // all layers, in file order
  std::vector<ObjectPolygon> polygons;  // all types, in file order
  std::vector<std::uint32_t> indices;   // into points
  std::vector<Surface> surfaces;
  std::vector<UvMap> uvMaps;
  std::vector<std::string> images;  // the images the surfaces name, each once
  std::vector<SkippedPart> skipped;

  std::span<const std::uint32_t> indicesOf(const ObjectPolygon& polygon) const {
    return std::span<const std::uint32_t>(indices).subspan(polygon.firstIndex, polygon.vertexCount);
  }
  const UvMap* findUvMap(std::string_view name) const {
    for (const UvMap& map : uvMaps) {
      if (map.name == name) return &map;
    }
    return nullptr;
  }
  std::size_t countPolygons(PolygonType type) const {
    std::size_t count = 0;
    for (const ObjectPolygon& polygon : polygons) count += polygon.type == type ? 1 : 0;
    return count;
  }
};

// "skipped: 3 x ENVL, 1 x SURF RIND", or "" when nothing was.
std::string describeSkipped(const LightWaveObject& object);

// Reads an object of any of the three formats (and LWLO, layered LWOB); `name` stands for the
// bytes in messages. Throws common::Error naming the file, the chunk and its byte offset. The
// show's own objects go through readLwo2, which keeps the show's refusals.
LightWaveObject readLightWaveObject(std::span<const std::byte> bytes, const std::string& name);

}  // namespace tessarine::mesh
