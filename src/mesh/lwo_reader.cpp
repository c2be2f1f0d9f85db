// Reads the one LWO2 layout the player accepts: a single layer whose chunks come exactly as
// TAGS, LAYR, PNTS, BBOX, VMAP (TXUV), POLS (FACE). Chunks after POLS are never read. Every
// length is checked against the FORM, and the FORM against the file, before it is used.
#include "mesh/lwo_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "common/byte_order.h"
#include "common/data_file.h"
#include "common/error.h"

namespace tessarine::mesh {
namespace {

using common::DataFile;
using common::Error;

constexpr std::size_t kIdSize = 4;
constexpr std::uint64_t kFormHeaderSize = 8;  // "FORM" and its length
constexpr std::size_t kPointSize = 12;
constexpr std::size_t kUvEntrySize = 10;  // 2-byte point index, u, v: no gap
constexpr std::uint16_t kUvDimension = 2;
constexpr std::uint16_t kMinVertices = 2;
// An LWO2 index whose first byte is 0xFF is the 4-byte form; only the 2-byte form fits
// the fixed layouts read here.
constexpr std::uint16_t kLongIndexPrefix = 0xFF00;
constexpr std::uint16_t kNameEndMask = 0x00FF;
constexpr std::size_t kNormalBlock = 256;
// A face without three points that span a plane gets this normal: a finite unit vector
// keeps renormalisation and lighting well defined.
constexpr std::array<float, 3> kDegenerateNormal{0.0f, 0.0f, 1.0f};

static_assert(sizeof(Point) == kPointSize, "points are read straight into their array");
static_assert(sizeof(UvEntry) >= kUvEntrySize, "UV entries are widened in place");

// Unit normal of the plane through the first three points, facing the side from which
// the points run clockwise.
std::array<float, 3> faceNormal(std::span<const Point> points, const std::uint16_t* index, std::uint16_t count) {
  if (count < 3) return kDegenerateNormal;
  const Point& p0 = points[index[0]];
  const Point& p1 = points[index[1]];
  const Point& p2 = points[index[2]];
  float ax = p0.x - p1.x, ay = p0.y - p1.y, az = p0.z - p1.z;
  float bx = p2.x - p1.x, by = p2.y - p1.y, bz = p2.z - p1.z;
  float nx = ay * bz - az * by;
  float ny = az * bx - ax * bz;
  float nz = ax * by - ay * bx;
  float squared = nx * nx + ny * ny + nz * nz;
  if (std::isnormal(squared)) {
    float scale = -1.0f / std::sqrt(squared);
    return {nx * scale, ny * scale, nz * scale};
  }
  // Too large or too small for float arithmetic (or truly degenerate): again in double,
  // where no product of two floats can overflow or vanish.
  double dax = double{p0.x} - p1.x, day = double{p0.y} - p1.y, daz = double{p0.z} - p1.z;
  double dbx = double{p2.x} - p1.x, dby = double{p2.y} - p1.y, dbz = double{p2.z} - p1.z;
  double dnx = day * dbz - daz * dby;
  double dny = daz * dbx - dax * dbz;
  double dnz = dax * dby - day * dbx;
  double length = std::sqrt(dnx * dnx + dny * dny + dnz * dnz);
  if (!(length > 0.0) || !std::isfinite(length)) return kDegenerateNormal;
  return {static_cast<float>(-dnx / length), static_cast<float>(-dny / length), static_cast<float>(-dnz / length)};
}

class ObjectReader {
 public:
  explicit ObjectReader(DataFile& file) : file_(file) {}

  void readHeader() {
    if (std::string id = readId(); id != "FORM") throw Error("Not IFF File", file_.bytePlace(0, id));
    std::uint32_t formSize = file_.readU32BE();
    if (std::string id = readId(); id != "LWO2") throw Error("Not LWO2 File", file_.bytePlace(kFormHeaderSize, id));
    if (formSize > file_.size() - kFormHeaderSize) throw Error("File ends inside its FORM: " + file_.name());
    formEnd_ = kFormHeaderSize + formSize;
  }

  // Reads the next chunk identifier; a different one than `id` is refused with `message`.
  void expectChunk(std::string_view id, const char* message) {
    requireInForm(kIdSize, id);
    std::uint64_t at = file_.position();
    if (std::string found = readId(); found != id) throw Error(message, file_.bytePlace(at, found));
  }

  void skipChunk(std::string_view id) { file_.skip(readChunkLength(id)); }

  void readPoints(std::vector<Point>& points) {
    std::uint32_t length = readChunkLength("PNTS");
    std::uint64_t count = length / kPointSize;
    if (count > kMaxPoints) {
      throw Error("More than " + std::to_string(kMaxPoints) + " points in " + file_.name());
    }
    points.resize(count);
    file_.read(points.data(), count * kPointSize);
    for (Point& p : points) {
      unsigned char raw[kPointSize];
      std::memcpy(raw, &p, kPointSize);
      p = {common::loadF32BE(raw), common::loadF32BE(raw + 4), common::loadF32BE(raw + 8)};
    }
    // Bytes after the last whole point belong to no point, but the chunk ends after them.
    file_.skip(length - count * kPointSize);
  }

  // The map gives one entry per point, in point order; its size comes from the points.
  void readUvMap(std::size_t pointCount, std::vector<UvEntry>& uvs) {
    std::uint32_t length = readChunkLength("VMAP");
    std::uint64_t chunkEnd = file_.position() + length;
    auto left = [&] { return chunkEnd - file_.position(); };
    if (left() < kIdSize) throw Error("VMAP chunk too short for its type in " + file_.name());
    std::uint64_t at = file_.position();
    if (std::string type = readId(); type != "TXUV") throw Error("Not TXUV Map", file_.bytePlace(at, type));
    if (left() < sizeof(std::uint16_t)) throw Error("VMAP chunk too short for its dimension in " + file_.name());
    if (std::uint16_t dimension = file_.readU16BE(); dimension != kUvDimension) {
      throw Error("Not 2 dimensional Map", file_.bytePlace(at + kIdSize, std::to_string(dimension)));
    }
    // The name is NUL-terminated and padded to an even length: pairs until one ends in 0.
    std::uint16_t pair = 0;
    do {
      if (left() < sizeof pair) throw Error("UV map name runs past the end of its chunk in " + file_.name());
      pair = file_.readU16BE();
    } while ((pair & kNameEndMask) != 0);

    std::uint64_t bytes = std::uint64_t{pointCount} * kUvEntrySize;
    if (bytes > left()) {
      throw Error("UV map holds fewer entries than the " + std::to_string(pointCount) + " points of " +
                  file_.name());
    }
    uvs.resize(pointCount);
    file_.read(uvs.data(), bytes);
    // Widen the packed 10-byte entries to UvEntry from the last one back, so that no entry
    // is overwritten before it has been converted.
    const auto* raw = reinterpret_cast<const unsigned char*>(uvs.data());
    for (std::size_t i = pointCount; i-- > 0;) {
      const unsigned char* entry = raw + i * kUvEntrySize;
      UvEntry converted{common::loadU16BE(entry), common::loadF32BE(entry + 2), common::loadF32BE(entry + 6)};
      if (converted.point >= kLongIndexPrefix) throw Error("4-byte point index in the UV map of " + file_.name());
      uvs[i] = converted;
    }
  }

  // Polygons go into one index array. The chunk is read a polygon at a time and each is
  // checked before the next is read, so a chunk that claims more than it holds costs no
  // more than the polygons before its first bad entry.
  void readPolygons(std::span<const Point> points, std::vector<Polygon>& polygons,
                    std::vector<std::uint16_t>& indices) {
    std::uint32_t length = readChunkLength("POLS");
    if (length < kIdSize) throw Error("POLS chunk too short for its type in " + file_.name());
    std::uint64_t typeAt = file_.position();
    std::string type = readId();
    if (type != "FACE") throw Error("Not FACE Poly", file_.bytePlace(typeAt, type));
    // Fewer than 4 bytes left hold no polygon and are never read; an odd last byte neither.
    std::uint64_t left = (length - kIdSize) / sizeof(std::uint16_t);  // words not yet read
    // An index below this bound is a 2-byte index of an existing point.
    std::uint16_t bound = static_cast<std::uint16_t>(std::min<std::size_t>(points.size(), kLongIndexPrefix));
    // Normals are worked out a block of faces at a time, while their indices are still in
    // cache and with no face waiting on the one before it.
    std::size_t withNormals = 0;
    while (left >= 2) {
      std::uint64_t at = file_.position();
      std::size_t number = polygons.size();
      std::uint16_t count = file_.readU16BE();
      --left;
      if (count < kMinVertices) {
        throw Error("Found face with less than 2 points", file_.bytePlace(at, std::to_string(count)));
      }
      if (count > left) {
        throw Error("Polygon " + std::to_string(number) + " runs past the end of the POLS chunk in " +
                        file_.name(),
                    file_.bytePlace(at, std::to_string(count) + " vertices"));
      }
      std::size_t first = indices.size();
      indices.resize(first + count);
      file_.read(indices.data() + first, count * sizeof(std::uint16_t));
      left -= count;
      for (std::size_t k = 0; k < count; ++k) {
        std::uint16_t index = common::loadU16BE(reinterpret_cast<const unsigned char*>(&indices[first + k]));
        if (index >= bound) failIndex(index, number, points.size(), at + sizeof(count) * (k + 1));
        indices[first + k] = index;
      }
      Polygon& polygon = polygons.emplace_back();
      polygon.vertexCount = count;
      polygon.firstIndex = static_cast<std::uint32_t>(first);
      if (polygons.size() - withNormals == kNormalBlock) addNormals(points, polygons, indices, withNormals);
    }
    addNormals(points, polygons, indices, withNormals);
  }

 private:
  static void addNormals(std::span<const Point> points, std::span<Polygon> polygons,
                         const std::vector<std::uint16_t>& indices, std::size_t& withNormals) {
    for (Polygon& polygon : polygons.subspan(withNormals)) {
      polygon.normal = faceNormal(points, &indices[polygon.firstIndex], polygon.vertexCount);
    }
    withNormals = polygons.size();
  }

  [[noreturn]] void failIndex(std::uint16_t index, std::size_t polygon, std::size_t pointCount,
                              std::uint64_t at) const {
    std::string place = file_.bytePlace(at, std::to_string(index));
    if (index >= kLongIndexPrefix) {
      throw Error("4-byte point index in polygon " + std::to_string(polygon) + " of " + file_.name(), place);
    }
    throw Error("Point index " + std::to_string(index) + " of polygon " + std::to_string(polygon) +
                    " is beyond the " + std::to_string(pointCount) + " points of " + file_.name(),
                place);
  }

  std::string readId() {
    char id[kIdSize];
    file_.read(id, sizeof id);
    return std::string(id, sizeof id);
  }

  std::uint64_t formRemaining() const {
    return formEnd_ > file_.position() ? formEnd_ - file_.position() : 0;
  }

  void requireInForm(std::uint64_t bytes, std::string_view id) const {
    if (bytes > formRemaining()) {
      throw Error("FORM ends before the " + std::string(id) + " chunk in " + file_.name());
    }
  }

  std::uint32_t readChunkLength(std::string_view id) {
    requireInForm(sizeof(std::uint32_t), id);
    std::uint32_t length = file_.readU32BE();
    if (length > formRemaining()) {
      throw Error(std::string(id) + " chunk runs past the end of its FORM in " + file_.name());
    }
    return length;
  }

  DataFile& file_;
  std::uint64_t formEnd_ = 0;
};

}  // namespace

Geometry readLwo2(std::span<const std::byte> bytes, const std::string& name) {
  DataFile file(bytes, name);
  Geometry geometry;
  try {
    ObjectReader reader(file);
    reader.readHeader();
    reader.expectChunk("TAGS", "Not TAGS Chunk");
    reader.skipChunk("TAGS");
    reader.expectChunk("LAYR", "Not LAYR Chunk");
    reader.skipChunk("LAYR");
    reader.expectChunk("PNTS", "Not PNTS Chunk");
    reader.readPoints(geometry.points);
    reader.expectChunk("BBOX", "Not BBOX Chunk");
    reader.skipChunk("BBOX");
    reader.expectChunk("VMAP", "Not VMAP Chunk");
    reader.readUvMap(geometry.points.size(), geometry.uvs);
    reader.expectChunk("POLS", "Not POLS Chunk");
    reader.readPolygons(geometry.points, geometry.polygons, geometry.indices);
  } catch (const Error& error) {
    // A fault found without a place of its own lies where the reading stopped.
    if (!error.where().empty()) throw;
    throw Error(error.message(), file.bytePlace());
  }
  return geometry;
}

}  // namespace tessarine::mesh
