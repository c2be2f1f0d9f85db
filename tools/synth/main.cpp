// tessarine-soundtrack OUTPUT.mp3: renders the show's music from its timeline, masters
// it and encodes it, then decodes the file again to check what a player will hear.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "common/error.h"
#include "synth/loudness.h"
#include "synth/mastering.h"
#include "synth/mp3_reader.h"
#include "synth/mp3_writer.h"
#include "synth/piece.h"

namespace {

using namespace tessarine::synth;
using tessarine::common::Error;

// The file a player decodes must keep its peaks at or under this.
constexpr double kFilePeakLimitDb = -1.0;
// The encoder can overshoot the limiter's ceiling; each attempt lowers the ceiling by
// the overshoot seen and a margin.
constexpr int kMaxAttempts = 3;
constexpr double kCeilingMarginDb = 0.1;
// The decoded length may differ from the rendered one by at most this.
constexpr double kLengthToleranceSeconds = 0.5;

int run(const char* output) {
  auto started = std::chrono::steady_clock::now();
  const StereoBuffer piece = renderPiece();
  double ceilingDb = kPeakCeilingDb;
  for (int attempt = 1;; ++attempt) {
    StereoBuffer mastered = piece;
    MasteringReport report = master(mastered, ceilingDb);
    writeMp3(output, mastered);
    DecodedMp3 decoded = readMp3(output);
    double filePeakDb = toDecibels(samplePeak(decoded.audio));
    double lengthError = std::fabs(static_cast<double>(decoded.audio.frames()) - static_cast<double>(piece.frames())) /
                         kSampleRate;
    if (decoded.sampleRate != kSampleRate || decoded.channels != 2 || lengthError > kLengthToleranceSeconds) {
      throw Error(std::string("The encoded soundtrack does not decode to what was rendered: ") + output);
    }
    if (filePeakDb <= kFilePeakLimitDb || attempt == kMaxAttempts) {
      double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
      std::printf("%s: %.2f s, %.1f LUFS, peak %.2f dBFS (%.2f dBFS decoded), gain %+.1f dB, made in %.1f s\n", output,
                  static_cast<double>(decoded.audio.frames()) / kSampleRate, report.loudness, report.peakDb,
                  filePeakDb, report.gainDb, seconds);
      if (filePeakDb > kFilePeakLimitDb) throw Error("The encoded soundtrack peaks above -1 dBFS");
      return 0;
    }
    ceilingDb -= filePeakDb - kFilePeakLimitDb + kCeilingMarginDb;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string output;
  tessarine::cli::CommandLine commandLine(
      "tessarine-soundtrack",
      "Renders the show's music from its timeline, masters it and encodes it to MP3, then decodes the file again to "
      "check what a player will hear.");
  commandLine.app().add_option("OUTPUT.mp3", output, "The MP3 file to write")->type_name("FILE")->required();
  if (std::optional<int> status = commandLine.parse(argc, argv)) return *status;
  try {
    return run(output.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tessarine-soundtrack: %s\n", error.what());
    return 1;
  }
}
