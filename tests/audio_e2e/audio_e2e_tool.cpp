// Helper of the end-to-end music test: writes the fixture's MP3, and measures what the
// sound server's monitor recorded.
//   audio_e2e_tool tone FILE SECONDS   a 440 Hz tone of amplitude 0.5 in both channels
//   audio_e2e_tool measure FILE        of raw s16le stereo: "peak P tone T", T the 440 Hz
//                                      amplitude in the loudest half second, in percent
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "synth/mp3_writer.h"
#include "synth/signal.h"

namespace {

using namespace tessarine::synth;

int measure(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<float> left;
  int peak = 0;
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
    auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8);
    left.push_back(sample / 32768.0f);
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  // The loudest stretch: the recording begins before the music and may end after it.
  const std::size_t window = kSampleRate / 2;
  double tone = 0;
  for (std::size_t from = 0; from + window <= left.size(); from += window / 2) {
    tone = std::max(tone, testing::amplitudeAt(left, 440.0, from, window));
  }
  std::printf("peak %d tone %d\n", peak, static_cast<int>(tone * 100));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "tone" && argc == 4) {
    writeMp3(argv[2], testing::sine(440.0, std::atof(argv[3]), 0.5, 0.5));
    return 0;
  }
  if (command == "measure" && argc == 3) return measure(argv[2]);
  std::fprintf(stderr, "usage: %s tone FILE SECONDS | measure FILE\n", argv[0]);
  return 2;
}
