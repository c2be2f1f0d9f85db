// Reads LightWave 3 to 5 objects (LWOB, and LWLO with its layers): points, faces with 1-based
// surface numbers into SRFS (detail polygons become ordinary faces), and surfaces with their
// fixed-point values and the first colour image texture. Chunks come in any order.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <unordered_map>
#include <utility>
#include <vector>

#include "mesh/lwo_object_parts.h"

namespace tessarine::mesh {
namespace {

constexpr unsigned kSubLength = 2;
constexpr std::uint64_t kPointSize = 12;
constexpr float kColorScale = 255.0f;
constexpr float kPercentScale = 256.0f;  // fixed-point shading values: 256 is 100%
constexpr std::uint16_t kSmoothingFlag = 1u << 2;
constexpr std::uint16_t kDoubleSidedFlag = 1u << 8;
constexpr std::uint16_t kAxisFlags = 0x7;  // x, y, z: the axis an image is projected along
constexpr std::uint16_t kWorldCoordinatesFlag = 1u << 3;
constexpr std::uint16_t kNegativeFlag = 1u << 4;
// LightWave smooths up to 89.5 degrees when a smoothed surface gives no angle.
constexpr float kDefaultSmoothing = 89.5f * 3.14159265f / 180.0f;
// Glossiness was stored as the highlight's exponent, 2^(10 g + 2).
constexpr float kGlossExponentBase = 2.0f;
constexpr float kGlossExponentSteps = 10.0f;
constexpr const char* kNoImage = "(none)";

// The image projection a texture names, or nothing for a procedural texture.
std::optional<Projection> imageProjection(const std::string& texture) {
  if (texture == "Planar Image Map") return Projection::kPlanar;
  if (texture == "Cylindrical Image Map") return Projection::kCylindrical;
  if (texture == "Spherical Image Map") return Projection::kSpherical;
  if (texture == "Cubic Image Map") return Projection::kCubic;
  if (texture == "Front Projection Image Map") return Projection::kFront;
  return std::nullopt;
}

// TWRP numbers black, clamp, repeat and mirror.
WrapMode wrapMode(std::uint16_t value) {
  switch (value) {
    case 0: return WrapMode::kReset;
    case 1: return WrapMode::kEdge;
    case 3: return WrapMode::kMirror;
    default: return WrapMode::kRepeat;
  }
}

float glossiness(std::uint16_t exponent) {
  // An exponent of 4 or less, 0 included (whose logarithm is minus infinity), is no gloss.
  return std::clamp((std::log2(static_cast<float>(exponent)) - kGlossExponentBase) / kGlossExponentSteps, 0.0f, 1.0f);
}

// The sub-chunks that set a shading value, as 8.8 fixed point and (LightWave 4 on) as a float
// that wins over it whichever comes first.
struct ShadingValue {
  const char* fixedId;
  const char* floatId;
  float Surface::*value;
};
constexpr ShadingValue kShadingValues[] = {
    {"LUMI", "VLUM", &Surface::luminosity},   {"DIFF", "VDIF", &Surface::diffuse},
    {"SPEC", "VSPC", &Surface::specular},     {"REFL", "VRFL", &Surface::reflection},
    {"TRAN", "VTRN", &Surface::transparency},
};

class SurfaceReader {
 public:
  Surface read(LwoChunk& chunk, SkipCounts& skipped) {
    surface_.name = chunk.s0();
    while (auto sub = chunk.next()) {
      if (!readShading(*sub) && !readTexture(*sub)) ++skipped[sub->path()];
    }
    surface_.smoothingAngle.reset();
    if ((flags_ & kSmoothingFlag) != 0) surface_.smoothingAngle = smoothing_.value_or(kDefaultSmoothing);
    surface_.doubleSided = (flags_ & kDoubleSidedFlag) != 0;
    if (image_ && !image_->image.empty()) surface_.colorMap = std::move(image_);
    return std::move(surface_);
  }

 private:
  bool readShading(LwoChunk& sub) {
    const std::string& id = sub.id();
    for (const ShadingValue& shading : kShadingValues) {
      if (id == shading.fixedId) {
        if (!hasFloat_[&shading - kShadingValues]) surface_.*shading.value = sub.u2() / kPercentScale;
        return true;
      }
      if (id == shading.floatId) {
        surface_.*shading.value = sub.f4();
        hasFloat_[&shading - kShadingValues] = true;
        return true;
      }
    }
    if (id == "COLR") {
      for (float& component : surface_.color) component = sub.u1() / kColorScale;
    } else if (id == "FLAG") {
      flags_ = sub.u2();
    } else if (id == "GLOS") {
      surface_.glossiness = glossiness(sub.u2());
    } else if (id == "SMAN") {
      // Written in radians, as LightWave 5 writes it.
      smoothing_ = sub.f4();
    } else {
      return false;
    }
    return true;
  }

  // Texture sub-chunks follow the ?TEX that starts their texture; only the first colour
  // image texture is kept, the rest are passed by.
  bool readTexture(LwoChunk& sub) {
    const std::string& id = sub.id();
    if (id.size() == 4 && id.substr(1) == "TEX") {
      if (image_ && !image_->image.empty()) {
        imageDone_ = true;
      } else {
        image_.reset();
      }
      std::optional<Projection> projection = imageProjection(sub.s0());
      inColorImage_ = id == "CTEX" && projection && !imageDone_;
      if (inColorImage_) {
        image_.emplace();
        image_->projection = *projection;
      }
      return inColorImage_;
    }
    if (id.empty() || id[0] != 'T') return false;
    if (!inColorImage_) return true;
    ColorMap& map = *image_;
    if (id == "TIMG") {
      map.image = sub.s0();
      if (map.image == kNoImage) map.image.clear();
    } else if (id == "TFLG") {
      std::uint16_t flags = sub.u2();
      if ((flags & kAxisFlags) != 0) map.axis = std::countr_zero(static_cast<unsigned>(flags & kAxisFlags));
      map.worldCoordinates = (flags & kWorldCoordinatesFlag) != 0;
      map.negative = (flags & kNegativeFlag) != 0;
    } else if (id == "TSIZ") {
      map.size = sub.vec12();
    } else if (id == "TCTR") {
      map.center = sub.vec12();
    } else if (id == "TWRP") {
      map.widthWrap = wrapMode(sub.u2());
      map.heightWrap = wrapMode(sub.u2());
    } else if (id == "TFP0") {
      map.widthWrapAmount = sub.f4();
    } else if (id == "TFP1") {
      map.heightWrapAmount = sub.f4();
    } else if (id == "TOPC") {
      map.opacity = sub.f4();
    }
    return true;
  }

  Surface surface_;
  std::uint16_t flags_ = 0;
  std::optional<float> smoothing_;
  bool hasFloat_[std::size(kShadingValues)] = {};
  std::optional<ColorMap> image_;
  bool inColorImage_ = false;
  bool imageDone_ = false;
};

class LwobReader {
 public:
  LwobReader(const unsigned char* data, const std::string& name, LightWaveObject& object, SkipCounts& skipped)
      : data_(data), name_(name), object_(object), skipped_(skipped) {}

  void readChunk(const IffChunk& found, bool layered) {
    LwoChunk chunk(data_, found.offset, found.offset + found.length, name_, found.id, kSubLength);
    const std::string& id = found.id;
    if (id == "PNTS") {
      readPoints(chunk);
    } else if (id == "POLS") {
      readPolygons(chunk);
    } else if (id == "SRFS") {
      while (!chunk.atEnd()) surfaceNames_.push_back(chunk.s0());
    } else if (id == "SURF") {
      Surface surface = SurfaceReader().read(chunk, skipped_);
      std::string key = surface.name;
      surfaces_.emplace(std::move(key), std::move(surface));
    } else if (id == "LAYR" && layered) {
      Layer layer;
      layer.number = chunk.u2();
      chunk.u2();  // whether the layer is in the foreground, an editing state
      layer.name = chunk.s0();
      startLayer(std::move(layer));
    } else {
      ++skipped_[id];
    }
  }

  void finish() {
    if (maxSurface_ > surfaceNames_.size()) {
      failInObject(name_, "POLS", maxSurfaceAt_,
                   "surface " + std::to_string(maxSurface_) + " is beyond the " + std::to_string(surfaceNames_.size()) +
                       " surfaces named in SRFS");
    }
    for (const std::string& surfaceName : surfaceNames_) {
      auto found = surfaces_.find(surfaceName);
      if (found != surfaces_.end()) {
        object_.surfaces.push_back(found->second);
      } else {
        Surface surface;
        surface.name = surfaceName;
        object_.surfaces.push_back(std::move(surface));
      }
    }
  }

 private:
  void startLayer(Layer layer) {
    layer.firstPoint = static_cast<std::uint32_t>(object_.points.size());
    object_.layers.push_back(std::move(layer));
    pointsFirst_ = object_.points.size();
  }

  Layer& layer() {
    if (object_.layers.empty()) startLayer(Layer{});
    return object_.layers.back();
  }

  void readPoints(LwoChunk& chunk) {
    if (chunk.remaining() % kPointSize != 0) {
      chunk.fail(std::to_string(chunk.remaining()) + " bytes hold no whole number of points");
    }
    Layer& current = layer();
    pointsFirst_ = object_.points.size();
    object_.points.reserve(object_.points.size() + chunk.remaining() / kPointSize);
    while (!chunk.atEnd()) {
      auto [x, y, z] = chunk.vec12();
      object_.points.push_back(Point{x, y, z});
    }
    current.pointCount += static_cast<std::uint32_t>(object_.points.size() - pointsFirst_);
  }

  // A detail polygon follows the polygon it details in the same form, so it is read as one
  // more face; the count that announces the details is only checked to be there.
  void readPolygons(LwoChunk& chunk) {
    const auto layerIndex = static_cast<std::uint32_t>(&layer() - object_.layers.data());
    const std::uint64_t pointCount = object_.points.size() - pointsFirst_;
    std::uint64_t number = 0;
    while (!chunk.atEnd()) {
      const std::uint64_t at = chunk.offset();
      const std::uint32_t count = chunk.u2();
      if (count > chunk.remaining() / 2) {
        chunk.failAt("polygon " + std::to_string(number) + " has " + std::to_string(count) + " points, more than the " +
                         std::to_string(chunk.remaining()) + " bytes left hold",
                     at);
      }
      ObjectPolygon polygon{static_cast<std::uint32_t>(object_.indices.size()), count, kNoSurface, layerIndex,
                            PolygonType::kFace};
      for (std::uint32_t k = 0; k < count; ++k) {
        const std::uint64_t indexAt = chunk.offset();
        const std::uint32_t index = chunk.u2();
        if (index >= pointCount) {
          chunk.failAt("point index " + std::to_string(index) + " of polygon " + std::to_string(number) +
                           " is beyond the " + std::to_string(pointCount) + " points of its layer",
                       indexAt);
        }
        object_.indices.push_back(static_cast<std::uint32_t>(pointsFirst_ + index));
      }
      const std::uint64_t surfaceAt = chunk.offset();
      const auto surface = static_cast<std::int16_t>(chunk.u2());
      if (surface < 0) chunk.u2();
      const std::uint32_t surfaceNumber = static_cast<std::uint32_t>(std::abs(static_cast<int>(surface)));
      if (surfaceNumber == 0) chunk.failAt("polygon " + std::to_string(number) + " names surface 0", surfaceAt);
      // SRFS may follow: the largest surface number is checked once all chunks are read.
      if (surfaceNumber > maxSurface_) {
        maxSurface_ = surfaceNumber;
        maxSurfaceAt_ = surfaceAt;
      }
      polygon.surface = surfaceNumber - 1;
      object_.polygons.push_back(polygon);
      ++number;
    }
  }

  const unsigned char* data_;
  const std::string& name_;
  LightWaveObject& object_;
  SkipCounts& skipped_;
  std::size_t pointsFirst_ = 0;
  std::vector<std::string> surfaceNames_;
  std::unordered_map<std::string, Surface> surfaces_;
  std::uint32_t maxSurface_ = 0;
  std::uint64_t maxSurfaceAt_ = 0;
};

}  // namespace

void readLwobChunks(IffForm& form, const unsigned char* data, const std::string& name, bool layered,
                    LightWaveObject& object, SkipCounts& skipped) {
  LwobReader reader(data, name, object, skipped);
  while (std::optional<IffChunk> chunk = form.next()) reader.readChunk(*chunk, layered);
  reader.finish();
}

}  // namespace tessarine::mesh
