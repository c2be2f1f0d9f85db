// Writes LWOB objects as LightWave 5 lays them out: surface names, points, polygons, surfaces.
#include "formats/lwob_writer.h"

#include "formats/lightwave_object_writer.h"
#include "formats/lwo2_writer.h"

namespace tessarine::formats {
namespace {

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

std::string f4(float value) {
  std::string out;
  appendF32BE(out, value);
  return out;
}

std::string sub(std::string_view id, std::string_view body) {
  return surfaceSubChunk(id, body, LightWaveLayout::kLwo2);
}

void appendFace(std::string& out, const LwobFace& face, std::int16_t surface) {
  appendU16BE(out, static_cast<std::uint16_t>(face.points.size()));
  for (std::uint16_t point : face.points) appendU16BE(out, point);
  appendU16BE(out, static_cast<std::uint16_t>(surface));
}

std::string surfaceChunk(const LwobSurface& surface) {
  std::string color(surface.color.begin(), surface.color.end());
  std::string body = s0(surface.name) + sub("COLR", color + '\0') + sub("FLAG", u16(surface.flags));
  // The float before the percentage: whichever comes last, a reader must let the float win.
  if (surface.floatDiffuse) body += sub("VDIF", f4(*surface.floatDiffuse));
  body += sub("DIFF", u16(surface.diffuse)) + sub("GLOS", u16(surface.glossExponent));
  if (surface.smoothingAngle) body += sub("SMAN", f4(*surface.smoothingAngle));
  for (const LwobTexture& texture : surface.colorTextures) {
    std::string size, center;
    for (float c : texture.size) appendF32BE(size, c);
    for (float c : texture.center) appendF32BE(center, c);
    body += sub("CTEX", s0(texture.type)) + sub("TIMG", s0(texture.image)) + sub("TFLG", u16(texture.flags)) +
            sub("TSIZ", size) + sub("TCTR", center) + sub("TWRP", u16(texture.wrap[0]) + u16(texture.wrap[1])) +
            sub("TFP0", f4(texture.widthWrapAmount));
  }
  return paddedChunk("SURF", body);
}

}  // namespace

std::string writeLwob(const LwobObject& object) {
  std::string names;
  for (const std::string& name : object.surfaceNames) names += s0(name);
  std::string polygons;
  for (const LwobPolygon& polygon : object.polygons) {
    if (polygon.details.empty()) {
      appendFace(polygons, polygon.face, polygon.face.surface);
      continue;
    }
    appendFace(polygons, polygon.face, static_cast<std::int16_t>(-polygon.face.surface));
    appendU16BE(polygons, static_cast<std::uint16_t>(polygon.details.size()));
    for (const LwobFace& detail : polygon.details) appendFace(polygons, detail, detail.surface);
  }
  std::vector<std::string> chunks{paddedChunk("SRFS", names), pointsChunk(object.points),
                                  paddedChunk("POLS", polygons)};
  for (const LwobSurface& surface : object.surfaces) chunks.push_back(surfaceChunk(surface));
  return objectFile("LWOB", chunks);
}

}  // namespace tessarine::formats
