// A LightWave scene or object as the whole show: told apart by its first bytes, so that a
// scene saved with another extension still plays as one.
#include <utility>

#include "common/content_path.h"
#include "common/error.h"
#include "common/file_bytes.h"
#include "mesh/lightwave_mesh.h"
#include "scene/lightwave_scene_reader.h"
#include "scene/object_view.h"
#include "scene/scene_objects.h"
#include "show/show.h"

namespace tessarine::show {
namespace {

// LightWave content is measured in metres; a tenth of one is nearer than any camera sits.
constexpr float kSceneNearPlane = 0.1f;

}  // namespace

void Show::loadLightWave(const LightWaveContent& content) {
  const std::vector<std::string> folders = common::contentFoldersFor(content.path, content.contentFolders);
  const common::FileBytes bytes = common::readFileBytes(content.path, "rb");
  std::unique_ptr<scene::Scene> loaded;
  if (scene::looksLikeLightWaveScene(bytes.bytes)) {
    loaded = scene::readLightWaveScene(context_, content.path, bytes.bytes, kSceneNearPlane);
    scene::loadSceneObjects(*loaded, folders, content.messages);
  } else {
    mesh::Mesh& mesh = context_.meshes.append(mesh::loadLightWaveMesh(content.path, folders, content.messages));
    loaded = scene::makeObjectView(context_, mesh, content.path);
  }
  if (!scenes_.empty()) scenes_.back()->next = loaded.get();
  scenes_.push_back(std::move(loaded));
  std::vector<SceneSpan> spans;
  for (const auto& s : scenes_) spans.push_back({s->startTime, s->endTime});
  timeline_ = std::make_unique<ShowTimeline>(std::move(spans));
}

}  // namespace tessarine::show
