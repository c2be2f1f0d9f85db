// Fuzz target for the LightWave object reader: the bytes are read as an object of any format.
#include <span>

#include "common/error.h"
#include "fuzz_target.h"
#include "mesh/lightwave_object.h"

namespace {

using namespace tessarine;

// Only the shape of what was read is checked: every index the object holds names something
// it has, so drawing code can follow them without checks of its own.
void checkObject(const mesh::LightWaveObject& object) {
  std::uint64_t nextIndex = 0;
  for (const mesh::ObjectPolygon& polygon : object.polygons) {
    if (polygon.firstIndex != nextIndex) fuzz::failInvariant("polygons do not follow each other in the index array");
    nextIndex += polygon.vertexCount;
    if (nextIndex > object.indices.size()) fuzz::failInvariant("a polygon runs past the index array");
    if (polygon.surface != mesh::kNoSurface && polygon.surface >= object.surfaces.size()) {
      fuzz::failInvariant("a polygon names a surface the object does not have");
    }
    if (polygon.layer >= object.layers.size()) fuzz::failInvariant("a polygon names a layer the object does not have");
  }
  for (std::uint32_t index : object.indices) {
    if (index >= object.points.size()) fuzz::failInvariant("a polygon names a point the object does not have");
  }
  std::uint64_t layerPoints = 0;
  for (const mesh::Layer& layer : object.layers) {
    if (layer.firstPoint != layerPoints) fuzz::failInvariant("layers' points do not follow each other");
    layerPoints += layer.pointCount;
  }
  if (layerPoints != object.points.size()) fuzz::failInvariant("points that belong to no layer");
  for (const mesh::UvMap& map : object.uvMaps) {
    for (const mesh::UvPoint& entry : map.points) {
      if (entry.point >= object.points.size()) fuzz::failInvariant("a UV map names a point the object does not have");
    }
    for (const mesh::UvCorner& entry : map.corners) {
      if (entry.point >= object.points.size() || entry.polygon >= object.polygons.size()) {
        fuzz::failInvariant("a UV map names a corner the object does not have");
      }
    }
  }
  for (const mesh::Surface& surface : object.surfaces) {
    if (surface.colorMap && surface.colorMap->image.empty()) fuzz::failInvariant("a colour map without an image");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    checkObject(mesh::readLightWaveObject(std::as_bytes(std::span(data, size)), "object.lwo"));
  } catch (const common::Error&) {
    // A clear refusal is what a malformed object should get.
  }
  return 0;
}
