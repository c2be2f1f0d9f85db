// Surfaces and image clips of LWO2 and LWO3: the base shading values, and of the texture
// layers the colour channel's first enabled image with its placement. LWO3 nests the same
// sub-chunks in FORMs with 4-byte lengths, which the chunk cursor walks alike.
#include <utility>

#include "mesh/lwo_object_parts.h"

namespace tessarine::mesh {
namespace {

constexpr std::uint16_t kBothSides = 3;
constexpr std::uint16_t kWorldCoordinates = 1;
constexpr std::uint16_t kLastAxis = 2;
constexpr std::uint16_t kLastWrapMode = static_cast<std::uint16_t>(WrapMode::kEdge);
constexpr std::uint16_t kLastProjection = static_cast<std::uint16_t>(Projection::kUv);

struct ImageLayer {
  std::string ordinal;  // layers apply in the order of these byte strings
  bool colorChannel = false;
  bool enabled = true;
  bool knownProjection = true;
  ColorMap map;
  std::uint32_t clip = 0;
  std::string clipPath;
  std::uint64_t clipOffset = 0;
};

WrapMode wrapMode(std::uint16_t value) {
  return value <= kLastWrapMode ? static_cast<WrapMode>(value) : WrapMode::kRepeat;
}

void readTextureMap(LwoChunk& tmap, ColorMap& map) {
  while (auto sub = tmap.next()) {
    const std::string& id = sub->id();
    if (id == "CNTR") {
      map.center = sub->vec12();
    } else if (id == "SIZE") {
      map.size = sub->vec12();
    } else if (id == "ROTA") {
      map.rotation = sub->vec12();
    } else if (id == "CSYS") {
      map.worldCoordinates = sub->u2() == kWorldCoordinates;
    }
  }
}

void readLayerHeader(LwoChunk& header, ImageLayer& layer) {
  readFields(header, [&](LwoChunk& fields) { layer.ordinal = fields.s0(); });
  while (auto sub = header.next()) {
    const std::string& id = sub->id();
    if (id == "CHAN") {
      layer.colorChannel = sub->id4() == "COLR";
    } else if (id == "ENAB") {
      layer.enabled = sub->u2() != 0;
    } else if (id == "OPAC") {
      sub->u2();  // how the layer blends: the drawing takes it as normal
      layer.map.opacity = sub->f4();
    } else if (id == "NEGA") {
      layer.map.negative = sub->u2() != 0;
    }
  }
}

// An image layer, or nothing for a procedural, gradient or shader layer (counted as skipped).
std::optional<ImageLayer> readBlock(LwoChunk& block, SkipCounts& skipped) {
  std::optional<LwoChunk> header = block.next();
  if (!header) return std::nullopt;
  if (header->id() != "IMAP") {
    ++skipped[header->path()];
    return std::nullopt;
  }
  ImageLayer layer;
  readLayerHeader(*header, layer);
  ColorMap& map = layer.map;
  while (auto sub = block.next()) {
    const std::string& id = sub->id();
    if (id == "TMAP") {
      readTextureMap(*sub, map);
    } else if (id == "PROJ") {
      std::uint16_t projection = sub->u2();
      layer.knownProjection = projection <= kLastProjection;
      if (layer.knownProjection) map.projection = static_cast<Projection>(projection);
    } else if (id == "AXIS") {
      std::uint16_t axis = sub->u2();
      map.axis = axis <= kLastAxis ? axis : 0;
    } else if (id == "IMAG") {
      layer.clipPath = sub->path();
      layer.clipOffset = sub->offset();
      layer.clip = sub->vx();
    } else if (id == "WRAP") {
      map.widthWrap = wrapMode(sub->u2());
      map.heightWrap = wrapMode(sub->u2());
    } else if (id == "WRPW") {
      map.widthWrapAmount = sub->f4();
    } else if (id == "WRPH") {
      map.heightWrapAmount = sub->f4();
    } else if (id == "VMAP") {
      map.uvMap = sub->s0();
    }
  }
  return layer;
}

}  // namespace

PendingSurface readLwo2Surface(LwoChunk& chunk, SkipCounts& skipped) {
  PendingSurface pending;
  Surface& surface = pending.surface;
  // The source surface a surface derives from is passed by: LightWave writes the values whole.
  readFields(chunk, [&](LwoChunk& fields) {
    surface.name = fields.s0();
    fields.s0();
  });
  std::optional<ImageLayer> colorLayer;
  while (auto sub = chunk.next()) {
    const std::string& id = sub->id();
    if (id == "COLR") {
      surface.color = sub->vec12();
    } else if (id == "DIFF") {
      surface.diffuse = sub->f4();
    } else if (id == "LUMI") {
      surface.luminosity = sub->f4();
    } else if (id == "SPEC") {
      surface.specular = sub->f4();
    } else if (id == "GLOS") {
      surface.glossiness = sub->f4();
    } else if (id == "REFL") {
      surface.reflection = sub->f4();
    } else if (id == "TRAN") {
      surface.transparency = sub->f4();
    } else if (id == "SMAN") {
      float angle = sub->f4();
      surface.smoothingAngle = angle > 0 ? std::optional<float>(angle) : std::nullopt;
    } else if (id == "SIDE") {
      surface.doubleSided = sub->u2() == kBothSides;
    } else if (id == "BLOK") {
      std::optional<ImageLayer> layer = readBlock(*sub, skipped);
      if (layer && layer->colorChannel && layer->enabled && layer->knownProjection && layer->clip != 0 &&
          (!colorLayer || layer->ordinal < colorLayer->ordinal)) {
        colorLayer = std::move(layer);
      }
    } else {
      ++skipped[sub->path()];
    }
  }
  if (colorLayer) {
    surface.colorMap = std::move(colorLayer->map);
    pending.clip = colorLayer->clip;
    pending.clipPath = std::move(colorLayer->clipPath);
    pending.clipOffset = colorLayer->clipOffset;
  }
  return pending;
}

Clip readClip(LwoChunk& chunk, SkipCounts& skipped) {
  Clip clip;
  readFields(chunk, [&](LwoChunk& fields) { clip.index = fields.u4(); });
  while (auto sub = chunk.next()) {
    if (sub->id() == "STIL") {
      readFields(*sub, [&](LwoChunk& fields) { clip.still = fields.s0(); });
    } else {
      ++skipped[sub->path()];
    }
  }
  return clip;
}

}  // namespace tessarine::mesh
