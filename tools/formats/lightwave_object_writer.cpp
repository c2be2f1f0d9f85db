// Writes LWO2 and LWO3 chunks as LightWave lays them out; the two layouts differ only in how
// a surface's and a clip's sub-chunks are framed.
#include "formats/lightwave_object_writer.h"

#include <bit>
#include <limits>

#include "common/error.h"
#include "formats/lwo2_writer.h"

namespace tessarine::formats {
namespace {

constexpr std::uint32_t kShortIndexLimit = 0xFF00;
constexpr std::uint32_t kLongIndexMarker = 0xFF000000;
constexpr std::uint16_t kUvDimension = 2;
constexpr std::uint16_t kBothSides = 3;
constexpr std::uint16_t kFrontSide = 1;
constexpr std::uint16_t kMaxVertices = 0x03FF;

void appendVx(std::string& out, std::uint32_t index) {
  if (index < kShortIndexLimit) {
    appendU16BE(out, static_cast<std::uint16_t>(index));
  } else {
    appendU32BE(out, kLongIndexMarker | index);
  }
}

std::string s0(std::string_view text) {
  std::string out(text);
  out.push_back('\0');
  if (out.size() % 2 != 0) out.push_back('\0');
  return out;
}

std::string u16(std::uint16_t value) {
  std::string out;
  appendU16BE(out, value);
  return out;
}

std::string vec12(const std::array<float, 3>& v) {
  std::string out;
  for (float c : v) appendF32BE(out, c);
  return out;
}

// A value followed by the envelope index LightWave writes after it (0: none).
std::string withoutEnvelope(std::string value) {
  appendVx(value, 0);
  return value;
}

std::string f4(float value) {
  std::string out;
  appendF32BE(out, value);
  return withoutEnvelope(out);
}

// A block: LWO2 writes a sub-chunk holding its fields then its sub-chunks; LWO3 a FORM whose
// fields go in a nameless first sub-chunk.
std::string block(std::string_view id, std::string_view fields, std::string_view subChunks, LightWaveLayout layout) {
  if (layout == LightWaveLayout::kLwo2)
    return surfaceSubChunk(id, std::string(fields) + std::string(subChunks), layout);
  std::string body(id);
  if (!fields.empty()) body += surfaceSubChunk("    ", fields, layout);
  body += subChunks;
  return paddedChunk("FORM", body);
}

std::string imageBlock(const ImageBlock& image, LightWaveLayout layout) {
  auto sub = [layout](std::string_view id, std::string_view body) { return surfaceSubChunk(id, body, layout); };
  std::string header = (image.channel.empty() ? "" : sub("CHAN", image.channel)) + sub("ENAB", u16(image.enabled ? 1 : 0));
  std::string placement = sub("CNTR", withoutEnvelope(vec12(image.center))) +
                          sub("SIZE", withoutEnvelope(vec12(image.size))) +
                          sub("ROTA", withoutEnvelope(vec12(image.rotation))) + sub("CSYS", u16(0));
  std::string clip;
  appendVx(clip, image.clip);
  std::string body = block("IMAP", s0(image.ordinal), header, layout) + block("TMAP", "", placement, layout) +
                     sub("PROJ", u16(image.projection)) + sub("AXIS", u16(image.axis)) + sub("IMAG", clip) +
                     sub("WRAP", u16(image.widthWrap) + u16(image.heightWrap)) +
                     sub("WRPW", f4(image.widthWrapAmount)) + sub("WRPH", f4(image.heightWrapAmount));
  if (!image.uvMap.empty()) body += sub("VMAP", s0(image.uvMap));
  return block("BLOK", "", body, layout);
}

}  // namespace

std::string paddedChunk(std::string_view id, std::string_view body) {
  std::string out = chunk(id, body);
  if (body.size() % 2 != 0) out.push_back('\0');
  return out;
}

std::string surfaceSubChunk(std::string_view id, std::string_view body, LightWaveLayout layout) {
  std::string out(id);
  if (layout == LightWaveLayout::kLwo3) {
    appendU32BE(out, static_cast<std::uint32_t>(body.size()));
  } else {
    if (body.size() > std::numeric_limits<std::uint16_t>::max()) {
      throw common::Error("LWO2 sub-chunk too long: " + std::string(id));
    }
    appendU16BE(out, static_cast<std::uint16_t>(body.size()));
  }
  out.append(body);
  if (body.size() % 2 != 0) out.push_back('\0');
  return out;
}

std::string layerChunk(std::uint16_t number, const std::array<float, 3>& pivot, std::string_view name,
                       std::optional<std::uint16_t> parent) {
  std::string body = u16(number) + u16(0) + vec12(pivot) + s0(name);
  if (parent) body += u16(*parent);
  return paddedChunk("LAYR", body);
}

std::string pointsChunk(const std::vector<std::array<float, 3>>& points) {
  std::string body;
  for (const auto& point : points) body += vec12(point);
  return paddedChunk("PNTS", body);
}

std::string polygonsChunk(std::string_view type, const std::vector<std::vector<std::uint32_t>>& polygons) {
  std::string body(type);
  for (const auto& polygon : polygons) {
    if (polygon.size() > kMaxVertices) throw common::Error("An LWO2 polygon holds at most 1023 points");
    appendU16BE(body, static_cast<std::uint16_t>(polygon.size()));
    for (std::uint32_t index : polygon) appendVx(body, index);
  }
  return paddedChunk("POLS", body);
}

std::string tagsChunk(const std::vector<std::string>& tags) {
  std::string body;
  for (const std::string& tag : tags) body += s0(tag);
  return paddedChunk("TAGS", body);
}

std::string polygonTagsChunk(std::string_view type, const std::vector<std::array<std::uint32_t, 2>>& tags) {
  std::string body(type);
  for (const auto& [polygon, tag] : tags) {
    appendVx(body, polygon);
    appendU16BE(body, static_cast<std::uint16_t>(tag));
  }
  return paddedChunk("PTAG", body);
}

std::string uvChunk(std::string_view name, const std::vector<UvEntryData>& entries, bool perCorner) {
  std::string body = "TXUV" + u16(kUvDimension) + s0(name);
  for (const UvEntryData& entry : entries) {
    appendVx(body, entry.point);
    if (perCorner) appendVx(body, entry.polygon);
    appendF32BE(body, entry.u);
    appendF32BE(body, entry.v);
  }
  return paddedChunk(perCorner ? "VMAD" : "VMAP", body);
}

std::string clipChunk(std::uint32_t index, std::string_view stillImage, LightWaveLayout layout) {
  std::string fields;
  appendU32BE(fields, index);
  std::string still = block("STIL", s0(stillImage), "", layout);
  if (layout == LightWaveLayout::kLwo2) return paddedChunk("CLIP", fields + still);
  return block("CLIP", fields, still, layout);
}

std::string surfaceChunk(const SurfaceChunkData& surface, LightWaveLayout layout) {
  auto sub = [layout](std::string_view id, std::string_view body) { return surfaceSubChunk(id, body, layout); };
  std::string body = sub("COLR", withoutEnvelope(vec12(surface.color))) + sub("DIFF", f4(surface.diffuse)) +
                     sub("LUMI", f4(surface.luminosity)) + sub("SPEC", f4(surface.specular)) +
                     sub("GLOS", f4(surface.glossiness)) + sub("TRAN", f4(surface.transparency)) +
                     sub("SIDE", u16(surface.doubleSided ? kBothSides : kFrontSide));
  if (surface.smoothingAngle) {
    std::string angle;
    appendF32BE(angle, *surface.smoothingAngle);
    body += sub("SMAN", angle);
  }
  for (const ImageBlock& image : surface.blocks) body += imageBlock(image, layout);
  body += surface.extra;
  const std::string fields = s0(surface.name) + s0("");  // no source surface
  if (layout == LightWaveLayout::kLwo2) return paddedChunk("SURF", fields + body);
  return block("SURF", fields, body, layout);
}

std::string materialNodes(std::string_view server,
                          const std::vector<std::pair<std::string, std::vector<double>>>& inputs) {
  constexpr LightWaveLayout kNested = LightWaveLayout::kLwo3;
  std::string entries;
  for (const auto& [name, values] : inputs) {
    std::string numbers;
    appendU32BE(numbers, static_cast<std::uint32_t>(values.size()));
    for (double value : values) {
      const auto bits = std::bit_cast<std::uint64_t>(value);
      appendU32BE(numbers, static_cast<std::uint32_t>(bits >> 32));
      appendU32BE(numbers, static_cast<std::uint32_t>(bits));
    }
    const std::string value =
        block("VALU", s0(values.size() == 3 ? "vparam3" : "vparam"), block("VALU", numbers, "", kNested), kNested);
    entries += block("ENTR", "", surfaceSubChunk("NAME", s0(name), kNested) + value, kNested);
  }
  std::string data = block(
      "NDTA", "", block("SATR", "", block("META", "", block("ADAT", "", entries, kNested), kNested), kNested), kNested);
  // The graph's root node comes first, as LightWave writes it; the material node feeds it.
  std::string root =
      surfaceSubChunk("NSRV", s0("Surface"), kNested) +
      block("NTAG", "", surfaceSubChunk("NRNM", s0("Surface"), kNested) + block("NDTA", "", "", kNested), kNested);
  std::string node = surfaceSubChunk("NSRV", s0(server), kNested) +
                     block("NTAG", "", surfaceSubChunk("NRNM", s0(server), kNested) + data, kNested);
  return block("NODS", "", block("NNDS", "", root + node, kNested), kNested);
}

std::string objectFile(std::string_view type, const std::vector<std::string>& chunks) {
  std::string body;
  for (const std::string& chunk : chunks) body += chunk;
  return form(type, body);
}

}  // namespace tessarine::formats
