// Writes LWO2 objects as a modeller lays them out: the geometry chunks the player reads,
// then the polygon tags, the image clip and the surface with its image block.
#include "formats/lwo2_writer.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "common/error.h"

namespace tessarine::formats {
namespace {

// Indices below this fit the 2-byte form of a variable-length index; the rest take
// 4 bytes with a leading 0xFF.
constexpr std::uint32_t kShortIndexLimit = 0xFF00;
constexpr std::uint32_t kLongIndexMarker = 0xFF000000;
constexpr std::uint16_t kUvDimension = 2;
// The clip that the surface's image block names.
constexpr std::uint32_t kClipIndex = 1;
// Projection and axis codes of a surface block: UV mapping, applied along z.
constexpr std::uint16_t kProjectionUv = 5;
constexpr std::uint16_t kAxisZ = 2;
constexpr std::uint16_t kWrapRepeat = 1;

void appendVx(std::string& out, std::uint32_t index) {
  if (index < kShortIndexLimit) {
    appendU16BE(out, static_cast<std::uint16_t>(index));
  } else {
    appendU32BE(out, kLongIndexMarker | index);
  }
}

// A NUL-terminated string padded to an even length.
void appendS0(std::string& out, std::string_view text) {
  out.append(text);
  out.push_back('\0');
  if (out.size() % 2 != 0) out.push_back('\0');
}

void appendVec12(std::string& out, const std::array<float, 3>& v) {
  for (float c : v) appendF32BE(out, c);
}

// A subchunk of CLIP and SURF: 4-character id and a 2-byte length.
std::string subchunk(std::string_view id, std::string_view body) {
  if (body.size() > std::numeric_limits<std::uint16_t>::max()) {
    throw common::Error("LWO2 subchunk too long: " + std::string(id));
  }
  std::string out(id);
  appendU16BE(out, static_cast<std::uint16_t>(body.size()));
  out.append(body);
  return out;
}

std::string s0(std::string_view text) {
  std::string out;
  appendS0(out, text);
  return out;
}

std::string u16(std::uint16_t value) {
  std::string out;
  appendU16BE(out, value);
  return out;
}

std::string boundingBox(const ObjectData& object) {
  std::array<float, 3> low{}, high{};
  if (!object.points.empty()) low = high = object.points.front();
  for (const auto& p : object.points) {
    for (std::size_t axis = 0; axis < 3; ++axis) {
      low[axis] = std::min(low[axis], p[axis]);
      high[axis] = std::max(high[axis], p[axis]);
    }
  }
  std::string body;
  appendVec12(body, low);
  appendVec12(body, high);
  return body;
}

std::string surface(const ObjectData& object) {
  std::string body;
  appendS0(body, object.surfaceName);
  appendS0(body, "");  // no source surface
  std::string color;
  appendVec12(color, object.surfaceColor);
  appendVx(color, 0);  // no envelope
  body += subchunk("COLR", color);
  std::string diffuse;
  appendF32BE(diffuse, 1.0f);
  appendVx(diffuse, 0);
  body += subchunk("DIFF", diffuse);
  if (object.imageFile.empty()) return body;

  // The image block: its header names the channel, the mapping says how the image lies.
  std::string header = s0("\x80") + subchunk("CHAN", "COLR") + subchunk("ENAB", u16(1));
  std::string placement;
  for (const char* id : {"CNTR", "SIZE", "ROTA"}) {
    std::string vector;
    float one = std::string_view(id) == "SIZE" ? 1.0f : 0.0f;
    appendVec12(vector, {one, one, one});
    appendVx(vector, 0);
    placement += subchunk(id, vector);
  }
  placement += subchunk("CSYS", u16(0));
  std::string clip;
  appendVx(clip, kClipIndex);
  std::string wrap = u16(kWrapRepeat) + u16(kWrapRepeat);
  std::string block = subchunk("IMAP", header) + subchunk("TMAP", placement) +
                      subchunk("PROJ", u16(kProjectionUv)) + subchunk("AXIS", u16(kAxisZ)) +
                      subchunk("IMAG", clip) + subchunk("WRAP", wrap) + subchunk("VMAP", s0("UV"));
  body += subchunk("BLOK", block);
  return body;
}

}  // namespace

void appendU16BE(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value >> 8));
  out.push_back(static_cast<char>(value & 0xFF));
}

void appendU32BE(std::string& out, std::uint32_t value) {
  appendU16BE(out, static_cast<std::uint16_t>(value >> 16));
  appendU16BE(out, static_cast<std::uint16_t>(value & 0xFFFF));
}

void appendF32BE(std::string& out, float value) { appendU32BE(out, std::bit_cast<std::uint32_t>(value)); }

std::string chunk(std::string_view id, std::string_view body) {
  if (body.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw common::Error("LWO2 chunk too long: " + std::string(id));
  }
  std::string out(id);
  appendU32BE(out, static_cast<std::uint32_t>(body.size()));
  out.append(body);
  return out;
}

std::string form(std::string_view type, std::string_view chunks) {
  std::string body(type);
  body.append(chunks);
  return chunk("FORM", body);
}

std::string writeLwo2(const ObjectData& object) {
  if (object.uvs.size() != object.points.size()) {
    throw common::Error("An LWO2 object needs one texture coordinate per point");
  }
  std::string chunks = chunk("TAGS", s0(object.surfaceName));

  std::string layer = u16(0) + u16(0);  // layer 0, no flags
  appendVec12(layer, {0, 0, 0});        // pivot
  appendS0(layer, "");
  chunks += chunk("LAYR", layer);

  std::string points;
  points.reserve(object.points.size() * 12);
  for (const auto& p : object.points) appendVec12(points, p);
  chunks += chunk("PNTS", points);
  chunks += chunk("BBOX", boundingBox(object));

  std::string uvMap = "TXUV" + u16(kUvDimension) + s0("UV");
  for (std::size_t i = 0; i < object.uvs.size(); ++i) {
    appendVx(uvMap, static_cast<std::uint32_t>(i));
    appendF32BE(uvMap, object.uvs[i][0]);
    appendF32BE(uvMap, object.uvs[i][1]);
  }
  chunks += chunk("VMAP", uvMap);

  std::string polygons = "FACE";
  for (const auto& polygon : object.polygons) {
    if (polygon.size() > std::numeric_limits<std::uint16_t>::max()) {
      throw common::Error("An LWO2 polygon holds at most 65535 vertices");
    }
    appendU16BE(polygons, static_cast<std::uint16_t>(polygon.size()));
    for (std::uint16_t index : polygon) appendVx(polygons, index);
  }
  chunks += chunk("POLS", polygons);

  std::string tags = "SURF";
  for (std::size_t i = 0; i < object.polygons.size(); ++i) {
    appendVx(tags, static_cast<std::uint32_t>(i));
    appendU16BE(tags, 0);  // the one surface tag
  }
  chunks += chunk("PTAG", tags);

  if (!object.imageFile.empty()) {
    std::string clip;
    appendU32BE(clip, kClipIndex);
    clip += subchunk("STIL", s0(object.imageFile));
    chunks += chunk("CLIP", clip);
  }
  chunks += chunk("SURF", surface(object));
  return form("LWO2", chunks);
}

}  // namespace tessarine::formats
