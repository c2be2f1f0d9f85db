// Surfaces and image clips of LWO2 and LWO3: the base shading values, and of the texture
// layers the colour channel's first enabled image with its placement. LWO3 nests the same
// sub-chunks in FORMs with 4-byte lengths, which the chunk cursor walks alike; a LightWave 2015
// surface that gives no colour of its own takes its values from its material node.
#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "mesh/lwo_object_parts.h"

namespace tessarine::mesh {
namespace {

constexpr std::uint16_t kBothSides = 3;
constexpr std::uint16_t kWorldCoordinates = 1;
constexpr std::uint16_t kLastAxis = 2;
constexpr std::uint16_t kLastWrapMode = static_cast<std::uint16_t>(WrapMode::kEdge);
constexpr std::uint16_t kLastProjection = static_cast<std::uint16_t>(Projection::kUv);
// How deep the node graph's FORMs are searched: a material node's values lie 6 deep.
constexpr std::size_t kMaxNodeDepth = 12;
constexpr std::uint32_t kColorComponents = 3;

// The material nodes whose inputs stand for a surface's base values, and the inputs of the
// "Standard" node that are the LWO2 values under the same names.
constexpr const char* kStandardNode = "Standard";
constexpr const char* kPrincipledNode = "Principled BSDF";
struct NodeValue {
  const char* input;
  float Surface::*value;
};
constexpr NodeValue kStandardValues[] = {
    {"Diffuse", &Surface::diffuse},       {"Luminosity", &Surface::luminosity},
    {"Specular", &Surface::specular},     {"Glossiness", &Surface::glossiness},
    {"Reflection", &Surface::reflection}, {"Transparency", &Surface::transparency},
};

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

// Calls `visit` on each FORM of `type` below `root` (not below those it finds), to a bounded
// depth, until `visit` returns true. The walk keeps its own stack: no recursion.
template <class Visit>
void findForms(const LwoChunk& root, std::string_view type, Visit&& visit) {
  std::vector<LwoChunk> stack{root};
  while (!stack.empty()) {
    std::optional<LwoChunk> sub = stack.back().next();
    if (!sub) {
      stack.pop_back();
    } else if (sub->isForm() && sub->id() == type) {
      if (visit(*sub)) return;
    } else if (sub->isForm() && stack.size() < kMaxNodeDepth) {
      stack.push_back(std::move(*sub));
    }
  }
}

// One input of a node: its name, and the first values of its VALU (a count, then doubles).
void readNodeInput(LwoChunk& entry, Surface& surface, bool standard) {
  std::string name;
  std::array<double, kColorComponents> values{};
  std::uint32_t count = 0;
  while (auto sub = entry.next()) {
    if (sub->id() == "NAME") {
      name = sub->s0();
    } else if (sub->isForm() && sub->id() == "VALU") {
      findForms(*sub, "VALU", [&](LwoChunk& inner) {
        readFields(inner, [&](LwoChunk& fields) {
          count = std::min(fields.u4(), kColorComponents);
          for (std::uint32_t i = 0; i < count; ++i) values[i] = fields.f8();
        });
        return true;
      });
    }
  }
  if (name == "Color" && count == kColorComponents) {
    for (std::uint32_t i = 0; i < count; ++i) surface.color[i] = static_cast<float>(values[i]);
  }
  for (const NodeValue& input : kStandardValues) {
    if (standard && count == 1 && name == input.input) surface.*input.value = static_cast<float>(values[0]);
  }
}

// The first material node of the graph gives the surface its values.
void readMaterialNode(const LwoChunk& nodes, Surface& surface) {
  findForms(nodes, "NTAG", [&](LwoChunk& node) {
    std::string server;
    std::optional<LwoChunk> data;
    while (auto sub = node.next()) {
      if (sub->id() == "NRNM") server = sub->s0();
      if (sub->isForm() && sub->id() == "NDTA") data = *sub;
    }
    if (!data || (server != kStandardNode && server != kPrincipledNode)) return false;
    findForms(*data, "ENTR", [&](LwoChunk& entry) {
      readNodeInput(entry, surface, server == kStandardNode);
      return false;
    });
    return true;
  });
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
  std::optional<LwoChunk> nodes;
  bool hasColor = false;
  while (auto sub = chunk.next()) {
    const std::string& id = sub->id();
    if (id == "COLR") {
      surface.color = sub->vec12();
      hasColor = true;
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
    } else if (id == "NODS" && sub->isForm()) {
      nodes = *sub;
    } else {
      ++skipped[sub->path()];
    }
  }
  if (nodes && !hasColor) {
    readMaterialNode(*nodes, surface);
  } else if (nodes) {
    ++skipped[nodes->path()];
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
