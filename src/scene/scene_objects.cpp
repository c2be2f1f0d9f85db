// Finding and reading the objects of a LightWave scene, each file and layer once.
#include "scene/scene_objects.h"

#include <array>
#include <map>
#include <optional>
#include <utility>

#include "common/content_path.h"
#include "common/error.h"
#include "mesh/lightwave_mesh.h"

namespace tessarine::scene {
namespace {

const std::array<std::string, 1> kObjectExtensions = {".lwo"};

std::string joined(const std::vector<std::string>& places) {
  std::string text;
  for (const std::string& place : places) text += (text.empty() ? "" : ", ") + place;
  return text;
}

}  // namespace

void loadSceneObjects(Scene& scene, std::span<const std::string> folders, std::FILE* messages) {
  // Keyed by the file found and the layer (0 for the whole object).
  std::map<std::pair<std::string, std::uint32_t>, mesh::Mesh*> loaded;
  auto warn = [&](const std::string& line) {
    if (messages != nullptr) std::fprintf(messages, "%s: %s\n", scene.fileName.c_str(), line.c_str());
  };
  for (SceneObject& object : scene.objects) {
    ItemSource& source = object.source;
    if (source.null || source.name.empty()) continue;
    const common::ContentSearch search = common::findContentFile(source.name, folders, kObjectExtensions);
    if (!search.found) {
      source.missing = source.name;
      warn("object " + source.name + " not found, so it stays a null; looked for " + joined(search.tried));
      continue;
    }
    const std::pair key(*search.found, source.layer.value_or(0));
    auto at = loaded.find(key);
    if (at == loaded.end()) {
      mesh::Mesh* mesh = nullptr;
      try {
        mesh = &scene.context->meshes.append(mesh::loadLightWaveMesh(*search.found, folders, messages, source.layer));
      } catch (const common::Error& error) {
        const std::string where = error.where().empty() ? "" : " (" + error.where() + ")";
        warn("object " + source.name + " not read, so it stays a null: " + error.message() + where);
      }
      at = loaded.emplace(key, mesh).first;
    }
    object.mesh = at->second;
    if (object.mesh != nullptr) {
      source.file = *search.found;
    } else {
      source.missing = source.name;
    }
  }
}

}  // namespace tessarine::scene
