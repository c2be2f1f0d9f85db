// The show: its six scene files in play order with the near clipping distance each is
// projected with, the folder they are read from and the music played with them. Written
// once here; the player, its tools and the show generator all take it from here.
#pragma once

#include <array>
#include <string_view>

namespace tessarine::show {

struct PlayListEntry {
  std::string_view fileName;
  float nearPlane;  // the near clipping distance of the scene's projection
};

inline constexpr std::string_view kDataDirectory = "Data";
// Found relative to the show's folder, not in the data directory.
inline constexpr std::string_view kMusicFile = "THREE.mp3";
// Close-up scenes get the nearer plane.
inline constexpr std::array<PlayListEntry, 6> kPlayList = {{
    {"S1.lws", 0.1f},
    {"S2.lws", 1.0f},
    {"S3.lws", 1.0f},
    {"S4.lws", 0.1f},
    {"S4b.lws", 0.1f},
    {"S5.lws", 1.0f},
}};

}  // namespace tessarine::show
