// Reads LightWave objects and their images for the inspection document.
#include "scene_report/lightwave_report.h"

#include <numbers>
#include <optional>

#include "common/content_path.h"
#include "common/file_bytes.h"
#include "mesh/image_formats.h"
#include "mesh/lightwave_images.h"
#include "mesh/lightwave_object.h"
#include "scene_report/report_json.h"

namespace tessarine::inspect {
namespace {

class ObjectReport {
 public:
  ObjectReport(const std::string& file, std::span<const std::string> contentFolders, LightWaveReport& report)
      : file_(file) {
    const common::FileBytes bytes = common::readFileBytes(file, "rb");
    object_ = mesh::readLightWaveObject(bytes.bytes, file);
    images_ = mesh::readObjectImages(object_, file, common::contentFoldersFor(file, contentFolders));
    report.warnings.insert(report.warnings.end(), images_.warnings.begin(), images_.warnings.end());
  }

  Json record() const {
    Json surfaces = Json::array(), images = Json::array();
    for (std::uint32_t i = 0; i < object_.surfaces.size(); ++i) surfaces.push_back(surfaceRecord(i));
    for (const std::string& name : object_.images) {
      if (const mesh::FoundImage* found = images_.find(name)) {
        const mesh::Image& image = found->decoded.image;
        images.push_back({{"file", found->path},
                          {"width", image.width},
                          {"height", image.height},
                          {"format", mesh::formatName(found->decoded.format)}});
      }
    }
    Json record = {{"file", file_},
                   {"format", mesh::objectFormatName(object_.format)},
                   {"layerCount", object_.layers.size()},
                   {"pointCount", object_.points.size()},
                   {"polygonCount", object_.polygons.size()},
                   {"bounds", bounds(object_.points)},
                   {"surfaces", std::move(surfaces)},
                   {"images", std::move(images)}};
    if (!object_.skipped.empty()) {
      Json skipped = Json::array();
      for (const mesh::SkippedPart& part : object_.skipped) skipped.push_back({{"tag", part.tag}, {"count", part.count}});
      record["skipped"] = std::move(skipped);
    }
    return record;
  }

 private:
  Json surfaceRecord(std::uint32_t index) const {
    const mesh::Surface& surface = object_.surfaces[index];
    std::size_t polygons = 0;
    for (const mesh::ObjectPolygon& polygon : object_.polygons) polygons += polygon.surface == index ? 1 : 0;
    const mesh::FoundImage* image = surface.colorMap ? images_.find(surface.colorMap->image) : nullptr;
    std::optional<float> smoothing;
    if (surface.smoothingAngle) smoothing = static_cast<float>(*surface.smoothingAngle * (180 / std::numbers::pi));
    return {{"name", surface.name},
            {"color", numbers(surface.color)},
            {"diffuse", number(surface.diffuse)},
            {"luminosity", number(surface.luminosity)},
            {"specular", number(surface.specular)},
            {"transparency", number(surface.transparency)},
            {"smoothingAngle", number(smoothing)},
            {"doubleSided", surface.doubleSided},
            {"polygonCount", polygons},
            {"image", image != nullptr ? Json(image->path) : Json(nullptr)},
            {"projection", surface.colorMap ? Json(mesh::projectionName(surface.colorMap->projection)) : Json(nullptr)}};
  }

  std::string file_;
  mesh::LightWaveObject object_;
  mesh::ObjectImages images_;
};

}  // namespace

LightWaveReport lightWaveDocument(std::span<const std::string> objectFiles, std::span<const std::string> contentFolders) {
  LightWaveReport report;
  Json meshes = Json::array();
  for (const std::string& file : objectFiles) meshes.push_back(ObjectReport(file, contentFolders, report).record());
  const Json document = {{"meshes", std::move(meshes)}};
  // Names come from the files as bytes; any that are not UTF-8 are replaced.
  report.document = document.dump(-1, ' ', false, Json::error_handler_t::replace);
  return report;
}

}  // namespace tessarine::inspect
