// Helper of the end-to-end music test: writes the fixture's MP3, measures what the sound
// server's monitor recorded, and asks the display whether its screen saver would blank it.
//   audio_e2e_tool tone FILE SECONDS   a 440 Hz tone of amplitude 0.5 in both channels
//   audio_e2e_tool measure FILE        of raw s16le stereo: the 440 Hz amplitude in the
//                                      loudest half second, in percent of full scale
//   audio_e2e_tool saver               "on" or "off"
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "synth/mp3_writer.h"
#include "synth/signal.h"

int main(int argc, char** argv) {
  using namespace tessarine::synth;
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "tone" && argc == 4) {
    writeMp3(argv[2], testing::sine(440.0, std::atof(argv[3]), 0.5, 0.5));
    return 0;
  }
  if (command == "saver" && argc == 2) {
    std::puts(tessarine::platform::makeSystemPlatform()->screenSaverActive() ? "on" : "off");
    return 0;
  }
  if (command != "measure" || argc != 3) {
    std::fprintf(stderr, "usage: %s tone FILE SECONDS | measure FILE | saver\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  std::vector<float> left;
  for (std::int16_t frame[2]; in.read(reinterpret_cast<char*>(frame), sizeof frame);) left.push_back(frame[0] / 32768.0f);
  // The loudest stretch: the recording begins before the music and may end after it.
  const std::size_t window = kSampleRate / 2;
  double tone = 0;
  for (std::size_t from = 0; from + window <= left.size(); from += window / 2) {
    tone = std::max(tone, testing::amplitudeAt(left, 440.0, from, window));
  }
  std::printf("%d\n", static_cast<int>(tone * 100));
}
