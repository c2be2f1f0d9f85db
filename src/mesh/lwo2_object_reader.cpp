// Reads the chunks of an LWO2 or LWO3 object in any order: layers, points, polygons of every
// type, their surface tags, UV maps, clips and surfaces. Indices in a chunk count from the
// points of the layer's last PNTS and the polygons of its last POLS, as LightWave writes them;
// each is checked against what was read before it, surface tags and clips once all is read.
#include <unordered_map>
#include <utility>
#include <vector>

#include "mesh/lwo_object_parts.h"

namespace tessarine::mesh {
namespace {

constexpr std::uint64_t kIdSize = 4;
constexpr unsigned kLwo2SubLength = 2;
constexpr unsigned kLwo3SubLength = 4;
constexpr std::uint64_t kPointSize = 12;
constexpr std::uint16_t kVertexCountMask = 0x03FF;  // the high 6 bits are flags
constexpr std::uint16_t kNoParent = 0xFFFF;
constexpr std::uint32_t kNoTag = 0xFFFFFFFFu;
constexpr std::uint16_t kUvDimension = 2;

PolygonType polygonType(const std::string& id) {
  if (id == "FACE") return PolygonType::kFace;
  if (id == "CURV") return PolygonType::kCurve;
  if (id == "PTCH") return PolygonType::kPatch;
  if (id == "SUBD") return PolygonType::kSubdivision;
  if (id == "MBAL") return PolygonType::kMetaball;
  if (id == "BONE") return PolygonType::kBone;
  return PolygonType::kOther;
}

class Lwo2Reader {
 public:
  Lwo2Reader(const unsigned char* data, const std::string& name, LightWaveObject& object, SkipCounts& skipped)
      : data_(data), name_(name), object_(object), skipped_(skipped) {}

  void readChunk(const IffChunk& found) {
    const std::uint64_t end = found.offset + found.length;
    if (found.id == "FORM") {
      // LWO3 nests surfaces and clips in FORMs whose sub-chunks have 4-byte lengths.
      if (found.length < kIdSize) failInObject(name_, "FORM", found.offset, "a FORM with no room for its type");
      std::string type = printableId(data_ + found.offset);
      LwoChunk chunk(data_, found.offset + kIdSize, end, name_, type, kLwo3SubLength, true);
      if (type == "SURF") {
        surfaces_.push_back(readLwo2Surface(chunk, skipped_));
      } else if (type == "CLIP") {
        addClip(readClip(chunk, skipped_));
      } else {
        ++skipped_["FORM " + type];
      }
      return;
    }
    LwoChunk chunk(data_, found.offset, end, name_, found.id, kLwo2SubLength);
    const std::string& id = found.id;
    if (id == "LAYR") {
      readLayer(chunk);
    } else if (id == "PNTS") {
      readPoints(chunk);
    } else if (id == "POLS") {
      readPolygons(chunk);
    } else if (id == "TAGS") {
      while (!chunk.atEnd()) tags_.push_back(chunk.s0());
    } else if (id == "PTAG") {
      readPolygonTags(chunk);
    } else if (id == "VMAP" || id == "VMAD") {
      readUvMap(chunk, id == "VMAD");
    } else if (id == "SURF") {
      surfaces_.push_back(readLwo2Surface(chunk, skipped_));
    } else if (id == "CLIP") {
      addClip(readClip(chunk, skipped_));
    } else if (id != "BBOX") {  // a bounding box is worked out from the points
      ++skipped_[id];
    }
  }

  void finish() {
    if (maxTag_ != kNoTag && maxTag_ >= tags_.size()) {
      failInObject(name_, "PTAG", maxTagAt_,
                   "surface tag " + std::to_string(maxTag_) + " is beyond the " + std::to_string(tags_.size()) +
                       " tags of TAGS");
    }
    std::unordered_map<std::string, std::uint32_t> byName;
    for (PendingSurface& pending : surfaces_) {
      if (pending.clip != 0) resolveClip(pending);
      byName.emplace(pending.surface.name, static_cast<std::uint32_t>(object_.surfaces.size()));
      object_.surfaces.push_back(std::move(pending.surface));
    }
    std::vector<std::uint32_t> surfaceOfTag(tags_.size(), kNoSurface);
    for (std::size_t i = 0; i < object_.polygons.size(); ++i) {
      const std::uint32_t tag = polygonTags_[i];
      if (tag == kNoTag) continue;
      if (surfaceOfTag[tag] == kNoSurface) {
        auto [at, added] = byName.emplace(tags_[tag], static_cast<std::uint32_t>(object_.surfaces.size()));
        // A tag that names no SURF gets LightWave's default surface under the tag's name.
        if (added) {
          Surface surface;
          surface.name = tags_[tag];
          object_.surfaces.push_back(std::move(surface));
        }
        surfaceOfTag[tag] = at->second;
      }
      object_.polygons[i].surface = surfaceOfTag[tag];
    }
  }

 private:
  Layer& layer() {
    if (object_.layers.empty()) startLayer(Layer{});
    return object_.layers.back();
  }

  void startLayer(Layer layer) {
    layer.firstPoint = static_cast<std::uint32_t>(object_.points.size());
    object_.layers.push_back(std::move(layer));
    pointsFirst_ = object_.points.size();
    polygonsFirst_ = object_.polygons.size();
  }

  void readLayer(LwoChunk& chunk) {
    Layer layer;
    layer.number = chunk.u2();
    layer.hidden = (chunk.u2() & 1) != 0;
    layer.pivot = chunk.vec12();
    layer.name = chunk.s0();
    if (chunk.remaining() >= 2) {
      std::uint16_t parent = chunk.u2();
      if (parent != kNoParent) layer.parent = parent;
    }
    startLayer(std::move(layer));
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

  // A point index of the chunk, checked against the points of the layer's last PNTS.
  std::uint32_t readPoint(LwoChunk& chunk, const char* what) {
    const std::uint64_t at = chunk.offset();
    const std::uint64_t index = chunk.vx();
    const std::uint64_t count = object_.points.size() - pointsFirst_;
    if (index >= count) {
      chunk.failAt("point index " + std::to_string(index) + " of " + what + " is beyond the " + std::to_string(count) +
                       " points of its layer",
                   at);
    }
    return static_cast<std::uint32_t>(pointsFirst_ + index);
  }

  // A polygon index of the chunk, checked against the polygons of the layer's last POLS.
  std::uint32_t readPolygon(LwoChunk& chunk) {
    const std::uint64_t at = chunk.offset();
    const std::uint64_t index = chunk.vx();
    const std::uint64_t count = object_.polygons.size() - polygonsFirst_;
    if (index >= count) {
      chunk.failAt("polygon " + std::to_string(index) + " is beyond the " + std::to_string(count) +
                       " polygons of the POLS before it",
                   at);
    }
    return static_cast<std::uint32_t>(polygonsFirst_ + index);
  }

  void readPolygons(LwoChunk& chunk) {
    const PolygonType type = polygonType(chunk.id4());
    const auto layerIndex = static_cast<std::uint32_t>(&layer() - object_.layers.data());
    polygonsFirst_ = object_.polygons.size();
    while (!chunk.atEnd()) {
      const std::uint64_t at = chunk.offset();
      const std::uint32_t count = chunk.u2() & kVertexCountMask;
      // Each index takes 2 bytes at least: a count the chunk cannot hold is refused before
      // anything is kept for it.
      if (count > chunk.remaining() / 2) {
        chunk.failAt("polygon " + std::to_string(object_.polygons.size() - polygonsFirst_) + " has " +
                         std::to_string(count) + " points, more than the " + std::to_string(chunk.remaining()) +
                         " bytes left hold",
                     at);
      }
      ObjectPolygon polygon{static_cast<std::uint32_t>(object_.indices.size()), count, kNoSurface, layerIndex, type};
      for (std::uint32_t k = 0; k < count; ++k) object_.indices.push_back(readPoint(chunk, "a polygon"));
      object_.polygons.push_back(polygon);
      polygonTags_.push_back(kNoTag);
    }
  }

  void readPolygonTags(LwoChunk& chunk) {
    const std::string type = chunk.id4();
    if (type != "SURF") {
      ++skipped_["PTAG " + type];
      return;
    }
    while (!chunk.atEnd()) {
      const std::uint32_t polygon = readPolygon(chunk);
      const std::uint64_t at = chunk.offset();
      const std::uint32_t tag = chunk.u2();
      // TAGS may follow: the largest tag is checked once all chunks are read.
      if (maxTag_ == kNoTag || tag > maxTag_) {
        maxTag_ = tag;
        maxTagAt_ = at;
      }
      polygonTags_[polygon] = tag;
    }
  }

  void readUvMap(LwoChunk& chunk, bool perPolygon) {
    const std::string type = chunk.id4();
    const std::uint16_t dimension = chunk.u2();
    std::string name = chunk.s0();
    if (type != "TXUV" || dimension < kUvDimension) {
      ++skipped_[chunk.path() + " " + type];
      return;
    }
    auto [found, added] = uvMapIndex_.emplace(name, object_.uvMaps.size());
    if (added) object_.uvMaps.emplace_back().name = std::move(name);
    UvMap& map = object_.uvMaps[found->second];
    while (!chunk.atEnd()) {
      const std::uint32_t point = readPoint(chunk, "a UV map entry");
      const std::uint32_t polygon = perPolygon ? readPolygon(chunk) : 0;
      const float u = chunk.f4();
      const float v = chunk.f4();
      chunk.skip(static_cast<std::uint64_t>(dimension - kUvDimension) * sizeof(float));
      if (perPolygon) {
        map.corners.push_back(UvCorner{polygon, point, u, v});
      } else {
        map.points.push_back(UvPoint{point, u, v});
      }
    }
  }

  void addClip(Clip clip) { clips_.emplace(clip.index, std::move(clip.still)); }

  void resolveClip(PendingSurface& pending) {
    auto clip = clips_.find(pending.clip);
    if (clip == clips_.end()) {
      failInObject(name_, pending.clipPath, pending.clipOffset,
                   "image clip " + std::to_string(pending.clip) + " is in no CLIP chunk");
    }
    if (clip->second && !clip->second->empty()) {
      pending.surface.colorMap->image = *clip->second;
    } else {
      // An image sequence, an animation or a still without a name: no image to show.
      pending.surface.colorMap.reset();
      ++skipped_["CLIP (no still image)"];
    }
  }

  const unsigned char* data_;
  const std::string& name_;
  LightWaveObject& object_;
  SkipCounts& skipped_;
  std::size_t pointsFirst_ = 0;    // the first point of the layer's last PNTS
  std::size_t polygonsFirst_ = 0;  // the first polygon of the layer's last POLS
  std::vector<std::string> tags_;
  std::vector<std::uint32_t> polygonTags_;  // per polygon: its SURF tag, or kNoTag
  std::uint32_t maxTag_ = kNoTag;
  std::uint64_t maxTagAt_ = 0;
  std::vector<PendingSurface> surfaces_;
  std::unordered_map<std::uint32_t, std::optional<std::string>> clips_;
  std::unordered_map<std::string, std::size_t> uvMapIndex_;
};

}  // namespace

void readLwo2Chunks(IffForm& form, const unsigned char* data, const std::string& name, LightWaveObject& object,
                    SkipCounts& skipped) {
  Lwo2Reader reader(data, name, object, skipped);
  while (std::optional<IffChunk> chunk = form.next()) reader.readChunk(*chunk);
  reader.finish();
}

}  // namespace tessarine::mesh
