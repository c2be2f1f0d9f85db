// Helper of the end-to-end test.
//   e2e_fixture show DIR [FILE-TO-LEAVE-OUT]  DIR/Data with the six scene files of the play
//       list (each a lit, textured square seen by a swaying camera), their object, and
//       DIR/THREE.mp3, a 440 Hz tone of amplitude 0.5 lasting a minute
//   e2e_fixture measure FILE  of raw s16le stereo: the 440 Hz amplitude of the loudest half
//       second, in percent of full scale
//   e2e_fixture saver  "on" or "off": whether the display's screen saver would blank it
//   e2e_fixture sync DIR [LAYERS]  the sync meter's show: each scene a flat backdrop colour
//       of its own, lasting a time of its own that no frame rate divides, and THREE.mp3
//       silent but for a click at each switch and at the show's start; LAYERS squares over
//       the left half slow a software renderer down (about 0.5 ms each at 400 x 300)
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <numeric>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "show/play_list.h"
#include "support/scene_files.h"
#include "synth/mp3_writer.h"
#include "synth/signal.h"

using namespace tessarine;

namespace {

// Four points a layer, numbered in 16 bits.
constexpr int kMaxLayers = 16000;

void writeShow(const std::filesystem::path& dir, const std::string& leaveOut) {
  const std::filesystem::path data = dir / show::kDataDirectory;
  std::filesystem::create_directories(data);
  testing::writeSquare(data, "square.lwo", {200, 120, 40});
  // One second per scene at 30 frames per second, so the show wraps around while it runs.
  formats::LwsScene lws{.lastFrame = 30,
                        .objects = {testing::object("square.lwo", testing::still({.heading = 20}))},
                        .lights = {{.motion = testing::still({}), .intensity = 0.9f,
                                    .type = formats::LwsLightType::kDistant}},
                        .ambientColor = {40, 40, 40}, .ambientIntensity = 1.0f, .backdropColor = {0, 0, 64},
                        .fogMinDistance = 2.0f, .fogMaxDistance = 20.0f, .fogColor = {0, 0, 64}};
  lws.camera = {.motion = testing::motion({{.z = -4, .heading = -10, .frame = 0}, {.z = -3, .heading = 10, .frame = 30}}),
                .zoom = 1.0f, .focalDistance = 0.05f};
  const std::string text = formats::writeLws(lws);
  for (const show::PlayListEntry& entry : show::kPlayList) {
    if (entry.fileName != leaveOut) testing::writeFile(data / entry.fileName, text);
  }
  synth::writeMp3((dir / show::kMusicFile).string(), synth::testing::sine(440.0, 60, 0.5, 0.5));
}

void writeSyncShow(const std::filesystem::path& dir, int layerCount) {
  constexpr int kSceneFrameRate = 100;
  constexpr std::size_t kSamplesPerSceneFrame = synth::kSampleRate / kSceneFrameRate;
  constexpr std::array<std::uint32_t, show::kPlayList.size()> kSceneFrames = {207, 237, 267, 297, 327, 357};
  constexpr std::array<formats::LwsColor, show::kPlayList.size()> kColors = {
      {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255}}};
  const std::filesystem::path data = dir / show::kDataDirectory;
  std::filesystem::create_directories(data);
  // The square's texture serves the layers; their object replaces the square's.
  testing::writeSquare(data, "layers.lwo", {128, 128, 128});
  formats::ObjectData layers{.imageFile = "layers.tga"};  // far to near, so each is drawn over the last
  for (int i = 0; i < layerCount; ++i) {
    const float z = 10.0f - 9.0f * static_cast<float>(i) / static_cast<float>(layerCount);
    const auto first = static_cast<std::uint16_t>(layers.points.size());
    layers.points.insert(layers.points.end(), {{-100, 100, z}, {0, 100, z}, {0, -100, z}, {-100, -100, z}});
    layers.polygons.push_back({first, static_cast<std::uint16_t>(first + 1), static_cast<std::uint16_t>(first + 2),
                               static_cast<std::uint16_t>(first + 3)});
  }
  layers.uvs.resize(layers.points.size());
  testing::writeFile(data / "layers.lwo", formats::writeLwo2(layers));
  synth::StereoBuffer music(std::accumulate(kSceneFrames.begin(), kSceneFrames.end(), 0u) * kSamplesPerSceneFrame);
  std::size_t at = 0;
  for (std::size_t i = 0; i < kSceneFrames.size(); ++i) {
    formats::LwsScene lws{.lastFrame = kSceneFrames[i], .framesPerSecond = kSceneFrameRate, .backdropColor = kColors[i]};
    if (layerCount > 0) lws.objects = {testing::object("layers.lwo", testing::still({}))};
    lws.camera = {.motion = testing::still({.z = -2}), .zoom = 1.0f};
    testing::writeFile(data / show::kPlayList[i].fileName, formats::writeLws(lws));
    for (std::size_t n = 0; n < kSamplesPerSceneFrame; ++n) {  // 10 ms of 2205 Hz
      music.left[at + n] = music.right[at + n] = static_cast<float>(0.8 * std::sin(2 * std::numbers::pi * n / 20));
    }
    at += kSceneFrames[i] * kSamplesPerSceneFrame;
  }
  synth::writeMp3((dir / show::kMusicFile).string(), music);
}

int measure(const char* file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<float> left;
  for (std::int16_t frame[2]; in.read(reinterpret_cast<char*>(frame), sizeof frame);) left.push_back(frame[0] / 32768.0f);
  // The loudest stretch: the recording begins before the music and may end after it.
  const std::size_t window = synth::kSampleRate / 2;
  double tone = 0;
  for (std::size_t from = 0; from + window <= left.size(); from += window / 2) {
    tone = std::max(tone, synth::testing::amplitudeAt(left, 440.0, from, window));
  }
  return static_cast<int>(tone * 100);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "show" && (argc == 3 || argc == 4)) {
    writeShow(argv[2], argc == 4 ? argv[3] : "");
  } else if (command == "measure" && argc == 3) {
    std::printf("%d\n", measure(argv[2]));
  } else if (command == "sync" && (argc == 3 || argc == 4)) {
    writeSyncShow(argv[2], argc == 4 ? std::clamp(std::atoi(argv[3]), 0, kMaxLayers) : 0);
  } else if (command == "saver" && argc == 2) {
    std::puts(platform::makeSystemPlatform()->screenSaverActive() ? "on" : "off");
  } else {
    std::fprintf(stderr, "usage: %s show DIR [FILE-TO-LEAVE-OUT] | sync DIR [LAYERS] | measure FILE | saver\n", argv[0]);
    return 2;
  }
  return 0;
}
