// Writes the chunks of LWO2 and LWO3 objects in LightWave's general layout, one call per chunk,
// so that a caller lays them out in any order: layers with pivots, points, polygons of any
// type, tags, sparse UV maps per point and per polygon corner, image clips, and surfaces with
// an image block. Indices take 4 bytes where 2 cannot hold them; odd chunks are padded.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessarine::formats {

// LWO2 writes a surface's and a clip's sub-chunks with 2-byte lengths; LWO3 nests them in
// FORMs with 4-byte lengths, their own fields in a nameless first sub-chunk.
enum class LightWaveLayout { kLwo2, kLwo3 };

// An image texture layer as a SURF's BLOK holds it; numbers are as LWO2 writes them.
struct ImageBlock {
  std::string ordinal = "\x80";
  std::string channel = "COLR";  // empty: no CHAN sub-chunk
  bool enabled = true;
  std::uint16_t projection = 0;  // 0 planar .. 5 UV
  std::uint16_t axis = 0;
  std::array<float, 3> center{0, 0, 0};
  std::array<float, 3> size{1, 1, 1};
  std::array<float, 3> rotation{0, 0, 0};
  std::uint16_t widthWrap = 1;  // 0 reset, 1 repeat, 2 mirror, 3 edge
  std::uint16_t heightWrap = 1;
  float widthWrapAmount = 1;
  float heightWrapAmount = 1;
  std::uint32_t clip = 1;
  std::string uvMap;  // written when not empty
};

struct SurfaceChunkData {
  std::string name;
  std::array<float, 3> color{1, 1, 1};
  float diffuse = 1;
  float luminosity = 0;
  float specular = 0;
  float glossiness = 0.4f;
  float transparency = 0;
  std::optional<float> smoothingAngle;  // radians
  bool doubleSided = false;
  std::vector<ImageBlock> blocks;
  std::string extra;  // sub-chunks appended as they are (unknown ones, for readers to pass by)
};

struct UvEntryData {
  std::uint32_t point = 0;
  std::uint32_t polygon = 0;  // VMAD only
  float u = 0;
  float v = 0;
};

// A chunk with its pad byte after an odd body.
std::string paddedChunk(std::string_view id, std::string_view body);

std::string layerChunk(std::uint16_t number, const std::array<float, 3>& pivot, std::string_view name,
                       std::optional<std::uint16_t> parent = std::nullopt);
std::string pointsChunk(const std::vector<std::array<float, 3>>& points);
std::string polygonsChunk(std::string_view type, const std::vector<std::vector<std::uint32_t>>& polygons);
std::string tagsChunk(const std::vector<std::string>& tags);
// PTAG of `type`: (polygon, tag) pairs.
std::string polygonTagsChunk(std::string_view type, const std::vector<std::array<std::uint32_t, 2>>& tags);
// VMAP (perCorner false) or VMAD TXUV.
std::string uvChunk(std::string_view name, const std::vector<UvEntryData>& entries, bool perCorner);
std::string clipChunk(std::uint32_t index, std::string_view stillImage, LightWaveLayout layout);
std::string surfaceChunk(const SurfaceChunkData& surface, LightWaveLayout layout);
// A SURF sub-chunk as `layout` writes one, for SurfaceChunkData::extra.
std::string surfaceSubChunk(std::string_view id, std::string_view body, LightWaveLayout layout);

// The node graph (FORM NODS) LightWave 2015 and later write into an LWO3 surface: one material
// node of `server` ("Standard", "Principled BSDF") whose inputs hold the values given.
std::string materialNodes(std::string_view server,
                          const std::vector<std::pair<std::string, std::vector<double>>>& inputs);

// FORM <type> around the chunks, in the order given.
std::string objectFile(std::string_view type, const std::vector<std::string>& chunks);

}  // namespace tessarine::formats
