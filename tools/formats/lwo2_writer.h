// Writes LWO2 object files in the chunk sequence the player reads (TAGS, LAYR, PNTS,
// BBOX, VMAP TXUV, POLS FACE) followed by a surface chunk set as a modeller writes it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessarine::formats {

struct ObjectData {
  std::vector<std::array<float, 3>> points;
  std::vector<std::array<float, 2>> uvs;  // one per point, in point order
  std::vector<std::vector<std::uint16_t>> polygons;
  std::string surfaceName = "Default";
  std::array<float, 3> surfaceColor{1, 1, 1};
  std::string imageFile;  // named by the surface's image clip; empty: no clip
};

// The whole file.
std::string writeLwo2(const ObjectData& object);

// Big-endian IFF building blocks, for writing files by hand (tests craft broken ones).
void appendU16BE(std::string& out, std::uint16_t value);
void appendU32BE(std::string& out, std::uint32_t value);
void appendF32BE(std::string& out, float value);
// A chunk: 4-character id, 4-byte big-endian length, body (no pad byte added).
std::string chunk(std::string_view id, std::string_view body);
// FORM <length> LWO2 <chunks>.
std::string form(std::string_view type, std::string_view chunks);

}  // namespace tessarine::formats
