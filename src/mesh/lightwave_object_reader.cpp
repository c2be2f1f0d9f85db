// Reads a LightWave object of any format: tells the formats apart by the FORM's type, hands
// the chunks to the LWOB or LWO2/LWO3 reader, and lists the images and what was passed by.
#include <cstring>
#include <set>
#include <utility>

#include "common/byte_order.h"
#include "common/error.h"
#include "mesh/lwo_object_parts.h"

namespace tessarine::mesh {
namespace {

constexpr std::size_t kFormHeaderSize = 12;
constexpr std::size_t kTypeOffset = 8;

}  // namespace

const char* objectFormatName(ObjectFormat format) {
  switch (format) {
    case ObjectFormat::kLwob: return "LWOB";
    case ObjectFormat::kLwo2: return "LWO2";
    case ObjectFormat::kLwo3: return "LWO3";
  }
  return "?";
}

const char* projectionName(Projection projection) {
  switch (projection) {
    case Projection::kPlanar: return "planar";
    case Projection::kCylindrical: return "cylindrical";
    case Projection::kSpherical: return "spherical";
    case Projection::kCubic: return "cubic";
    case Projection::kFront: return "front";
    case Projection::kUv: return "uv";
  }
  return "?";
}

const char* polygonTypeName(PolygonType type) {
  switch (type) {
    case PolygonType::kFace: return "face";
    case PolygonType::kCurve: return "curve";
    case PolygonType::kPatch: return "patch";
    case PolygonType::kSubdivision: return "subdivision";
    case PolygonType::kMetaball: return "metaball";
    case PolygonType::kBone: return "bone";
    case PolygonType::kOther: return "other";
  }
  return "?";
}

std::string describeSkipped(const LightWaveObject& object) {
  std::string text;
  for (const SkippedPart& part : object.skipped) {
    text += (text.empty() ? "skipped: " : ", ") + std::to_string(part.count) + " x " + part.tag;
  }
  return text;
}

LightWaveObject readLightWaveObject(std::span<const std::byte> bytes, const std::string& name) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < kFormHeaderSize || std::memcmp(data, "FORM", 4) != 0) {
    throw common::Error(name + ": not a LightWave object: no IFF FORM at its start", name + ", byte 0");
  }
  const std::string type = printableId(data + kTypeOffset);
  LightWaveObject object;
  if (type == "LWOB" || type == "LWLO") {
    object.format = ObjectFormat::kLwob;
  } else if (type == "LWO2") {
    object.format = ObjectFormat::kLwo2;
  } else if (type == "LWO3") {
    object.format = ObjectFormat::kLwo3;
  } else {
    throw common::Error(name + ": not a LightWave object: FORM type " + type,
                        name + ", byte " + std::to_string(kTypeOffset));
  }
  IffForm form(bytes, name);
  SkipCounts skipped;
  if (object.format == ObjectFormat::kLwob) {
    readLwobChunks(form, data, name, type == "LWLO", object, skipped);
  } else {
    readLwo2Chunks(form, data, name, object, skipped);
  }
  for (auto& [tag, count] : skipped) object.skipped.push_back(SkippedPart{tag, count});
  std::set<std::string> seen;
  for (const Surface& surface : object.surfaces) {
    if (surface.colorMap && seen.insert(surface.colorMap->image).second)
      object.images.push_back(surface.colorMap->image);
  }
  return object;
}

}  // namespace tessarine::mesh
