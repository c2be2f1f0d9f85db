// Helper of the end-to-end music test: writes the fixture's MP3, and measures what the
// sound server's monitor recorded.
//   audio_e2e_tool tone FILE SECONDS   a 440 Hz tone in both channels, 44.1 kHz stereo
//   audio_e2e_tool measure FILE        of raw s16le stereo: "peak P dominant H"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "audio/dominant_frequency.h"
#include "audio/tone_mp3.h"

namespace {

constexpr long kRate = 44100;
constexpr int kChannels = 2;
// The length of the stretch of the recording that is searched for the tone.
constexpr double kMeasuredSeconds = 0.5;

int writeTone(const std::string& path, double seconds) {
  tessarine::audio::testing::Tone tone{kRate, kChannels, seconds, 440.0, 440.0};
  std::string bytes = tessarine::audio::testing::encodeTone(tone);
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : 1;
}

int measure(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<double> left;
  int peak = 0;
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 2 * kChannels) {
    auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8);
    left.push_back(sample);
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  // The loudest stretch: the recording begins before the music and may end after it.
  const auto window = static_cast<std::size_t>(kRate * kMeasuredSeconds);
  std::size_t start = 0;
  double loudest = -1.0;
  for (std::size_t from = 0; from + window <= left.size(); from += window / 2) {
    double energy = 0.0;
    for (std::size_t i = from; i < from + window; ++i) energy += left[i] * left[i];
    if (energy > loudest) {
      loudest = energy;
      start = from;
    }
  }
  int dominant = 0;
  if (left.size() >= window) {
    dominant = tessarine::audio::testing::dominantHz(std::span(left).subspan(start, window), kRate);
  }
  std::printf("peak %d dominant %d\n", peak, dominant);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "tone" && argc == 4) return writeTone(argv[2], std::atof(argv[3]));
  if (command == "measure" && argc == 3) return measure(argv[2]);
  std::fprintf(stderr, "usage: %s tone FILE SECONDS | measure FILE\n", argv[0]);
  return 2;
}
