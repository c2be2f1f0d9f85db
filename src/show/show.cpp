// Loading the play list into one show, and the release of its scenes before its meshes.
#include "show/show.h"

#include <utility>

#include "common/error.h"

namespace tessarine::show {

Show::Show(std::string dataDirectory) : context_(std::move(dataDirectory)) {}

void Show::load(std::span<const PlayListEntry> playList) {
  if (!scenes_.empty()) throw common::Error("The show is loaded already");
  scenes_.reserve(playList.size());
  for (const PlayListEntry& entry : playList) {
    auto loaded = std::make_unique<scene::Scene>(context_, std::string(entry.fileName), entry.nearPlane);
    if (!scenes_.empty()) scenes_.back()->next = loaded.get();
    scenes_.push_back(std::move(loaded));
  }
  std::vector<SceneSpan> spans;
  for (const auto& s : scenes_) spans.push_back({s->startTime, s->endTime});
  timeline_ = std::make_unique<ShowTimeline>(std::move(spans));
}

Show::~Show() { releaseScenes(); }

void Show::releaseScenes() {
  while (!scenes_.empty()) scenes_.pop_back();
}

}  // namespace tessarine::show
