// Helper of the end-to-end test.
//   e2e_fixture show DIR [FILE-TO-LEAVE-OUT]  DIR/Data with the six scene files of the play
//       list (each a lit, textured square seen by a swaying camera), their object, and
//       DIR/THREE.mp3, a 440 Hz tone of amplitude 0.5 lasting a minute
//   e2e_fixture measure FILE  of raw s16le stereo: the 440 Hz amplitude of the loudest half
//       second, in percent of full scale
//   e2e_fixture saver  "on" or "off": whether the display's screen saver would blank it
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "show/play_list.h"
#include "support/scene_files.h"
#include "synth/mp3_writer.h"
#include "synth/signal.h"

using namespace tessarine;

namespace {

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
  } else if (command == "saver" && argc == 2) {
    std::puts(platform::makeSystemPlatform()->screenSaverActive() ? "on" : "off");
  } else {
    std::fprintf(stderr, "usage: %s show DIR [FILE-TO-LEAVE-OUT] | measure FILE | saver\n", argv[0]);
    return 2;
  }
  return 0;
}
