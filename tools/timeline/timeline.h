// The show's one timeline: tempo, bars and the scenes' lengths in bars. The pictures
// (scene files) and the soundtrack are both made from it, so they stay in step.
#pragma once

#include <array>
#include <string_view>

#include "show/play_list.h"

namespace tessarine::timeline {

inline constexpr double kBeatsPerMinute = 120.0;
inline constexpr int kBeatsPerBar = 4;
inline constexpr double kSecondsPerBeat = 60.0 / kBeatsPerMinute;
inline constexpr double kSecondsPerBar = kSecondsPerBeat * kBeatsPerBar;  // 2 s
// Frames per second written into every scene file.
inline constexpr int kFramesPerSecond = 30;
// A beat is a whole number of frames, so accents fall exactly on keys.
inline constexpr int kFramesPerBeat = static_cast<int>(kFramesPerSecond * kSecondsPerBeat);
static_assert(kFramesPerBeat * kBeatsPerMinute == kFramesPerSecond * 60.0, "a beat must be whole frames");
inline constexpr int kFramesPerBar = kFramesPerBeat * kBeatsPerBar;

struct SceneSlot {
  std::string_view file;
  int bars;
};

// The player's play list with each scene's length in bars.
inline constexpr std::array<SceneSlot, 6> kScenes = {{
    {show::kPlayList[0].fileName, 10},  // arrival
    {show::kPlayList[1].fileName, 15},  // hypercube
    {show::kPlayList[2].fileName, 12},  // terrain
    {show::kPlayList[3].fileName, 12},  // crystal city
    {show::kPlayList[4].fileName, 8},   // vertigo
    {show::kPlayList[5].fileName, 15},  // unfolding
}};
static_assert(kScenes.size() == show::kPlayList.size(), "one length for every scene the player plays");

constexpr int totalBars() {
  int bars = 0;
  for (const SceneSlot& slot : kScenes) bars += slot.bars;
  return bars;
}

// The bar at which scene `index` begins, counted from the start of the show.
constexpr int firstBarOf(std::size_t index) {
  int bar = 0;
  for (std::size_t i = 0; i < index; ++i) bar += kScenes[i].bars;
  return bar;
}

constexpr double secondsOfBars(int bars) { return bars * kSecondsPerBar; }
// The last frame of scene `index` when its first frame is 0: its bars, exactly.
constexpr int lastFrameOf(std::size_t index) { return kScenes[index].bars * kFramesPerBar; }
constexpr double showSeconds() { return secondsOfBars(totalBars()); }

// Accents: the beats on which pictures flash and shake and the drums hit hardest.
// Beat 0 of every bar is an accent; in the full-energy scenes (S4, S4b) beat 2 is too.
constexpr bool isAccent(std::size_t sceneIndex, int beatInBar) {
  if (beatInBar == 0) return true;
  return (sceneIndex == 3 || sceneIndex == 4) && beatInBar == 2;
}

}  // namespace tessarine::timeline
