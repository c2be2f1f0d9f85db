// The whole show in memory: every scene of the play list read in play order, sharing one
// mesh library. Loading only reads files: it touches no GL and asks the system for
// nothing. The textures are made afterwards, in one step (mesh::makeTextures).
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "scene/demo_context.h"
#include "scene/scene.h"
#include "show/play_list.h"
#include "show/show_timeline.h"

namespace tessarine::show {

// A LightWave scene or object played on its own.
struct LightWaveContent {
  std::string path;
  // Where the names inside it are looked for; none: the file's folder and those above it.
  std::vector<std::string> contentFolders;
  std::FILE* messages = stderr;  // warnings of what is missing
};

class Show {
 public:
  // An empty show that reads from `dataDirectory`. Once its textures are made, a GL
  // context must be current until the show is gone.
  explicit Show(std::string dataDirectory);
  // Releases the scenes (if releaseScenes has not), then the mesh library with its textures.
  ~Show();
  // Scenes point at the context, so a show stays where it was made.
  Show(const Show&) = delete;
  Show& operator=(const Show&) = delete;

  // Reads every file of `playList`, scenes linked through `next` in play order, once.
  // Throws common::Error with the reader's message at the first file that cannot be
  // read; the scenes read before it stay, so that they are released in the usual order.
  void load(std::span<const PlayListEntry> playList = kPlayList);
  // Reads one LightWave file as the next scene of the show: a scene as LightWave writes it,
  // with the objects it names, or an object, shown turning (see LightWaveContent). Throws
  // common::Error when the file itself cannot be read; objects and images that cannot be are
  // warned of.
  void loadLightWave(const LightWaveContent& content);

  // Releases the scenes, last first, leaving the mesh library: the player lets the screen
  // saver start again between the two.
  void releaseScenes();

  std::size_t sceneCount() const { return scenes_.size(); }
  scene::Scene& scene(std::size_t index) { return *scenes_.at(index); }
  const scene::Scene& scene(std::size_t index) const { return *scenes_.at(index); }
  scene::Scene& firstScene() { return scene(0); }
  scene::DemoContext& context() { return context_; }
  // Show time across the play list, by the frame loop's switching rule; made by a
  // load() that succeeded.
  const ShowTimeline& timeline() const { return *timeline_; }

 private:
  scene::DemoContext context_;
  std::vector<std::unique_ptr<scene::Scene>> scenes_;  // play order, also linked by `next`
  std::unique_ptr<ShowTimeline> timeline_;
};

}  // namespace tessarine::show
