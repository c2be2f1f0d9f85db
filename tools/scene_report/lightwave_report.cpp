// Reads LightWave objects and their images for the inspection document.
#include "scene_report/lightwave_report.h"

#include <filesystem>
#include <map>
#include <numbers>
#include <optional>

#include "common/content_path.h"
#include "common/error.h"
#include "common/file_bytes.h"
#include "mesh/image_formats.h"
#include "mesh/lightwave_object.h"
#include "scene_report/report_json.h"

namespace tessarine::inspect {
namespace {

std::vector<std::string> foldersAbove(const std::string& objectFile) {
  std::vector<std::string> folders;
  std::filesystem::path folder = std::filesystem::absolute(objectFile).lexically_normal().parent_path();
  while (true) {
    folders.push_back(folder.string());
    if (folder == folder.root_path() || !folder.has_relative_path()) break;
    folder = folder.parent_path();
  }
  return folders;
}

std::string joined(const std::vector<std::string>& places) {
  std::string text;
  for (const std::string& place : places) text += (text.empty() ? "" : ", ") + place;
  return text;
}

struct FoundImage {
  std::string path;
  mesh::DecodedImage decoded;
};

class ObjectReport {
 public:
  ObjectReport(const std::string& file, std::span<const std::string> contentFolders, LightWaveReport& report)
      : file_(file), report_(report) {
    const common::FileBytes bytes = common::readFileBytes(file, "rb");
    object_ = mesh::readLightWaveObject(bytes.bytes, file);
    folders_ = contentFolders.empty() ? foldersAbove(file)
                                      : std::vector<std::string>(contentFolders.begin(), contentFolders.end());
    for (const std::string& image : object_.images) findImage(image);
  }

  Json record() const {
    Json surfaces = Json::array(), images = Json::array();
    for (std::uint32_t i = 0; i < object_.surfaces.size(); ++i) surfaces.push_back(surfaceRecord(i));
    for (const std::string& name : object_.images) {
      if (auto found = images_.find(name); found != images_.end()) {
        const mesh::Image& image = found->second.decoded.image;
        images.push_back({{"file", found->second.path},
                          {"width", image.width},
                          {"height", image.height},
                          {"format", mesh::formatName(found->second.decoded.format)}});
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
  void findImage(const std::string& name) {
    const common::ContentSearch search = common::findContentFile(name, folders_);
    if (!search.found) {
      report_.warnings.push_back(file_ + ": image " + name + " not found; looked for " + joined(search.tried));
      return;
    }
    try {
      images_.emplace(name, FoundImage{*search.found, mesh::readImageFile(*search.found)});
    } catch (const common::Error& error) {
      report_.warnings.push_back(file_ + ": image " + name + " is unusable: " + error.described());
    }
  }

  Json surfaceRecord(std::uint32_t index) const {
    const mesh::Surface& surface = object_.surfaces[index];
    std::size_t polygons = 0;
    for (const mesh::ObjectPolygon& polygon : object_.polygons) polygons += polygon.surface == index ? 1 : 0;
    const auto image = surface.colorMap ? images_.find(surface.colorMap->image) : images_.end();
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
            {"image", image != images_.end() ? Json(image->second.path) : Json(nullptr)},
            {"projection", surface.colorMap ? Json(mesh::projectionName(surface.colorMap->projection)) : Json(nullptr)}};
  }

  std::string file_;
  LightWaveReport& report_;
  mesh::LightWaveObject object_;
  std::vector<std::string> folders_;
  std::map<std::string, FoundImage> images_;  // by the name the object gives, only those read
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
