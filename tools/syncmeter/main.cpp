// tessarine-syncmeter: records the screen and the sound server together, or reads such a
// recording and prints how late the sound runs behind the picture at each colour change.
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "common/error.h"
#include "syncmeter/recording.h"
#include "syncmeter/sync_events.h"
#include "syncmeter/sync_report.h"

namespace {

using namespace tessarine;

constexpr int kExitFailure = 1;

// NAME@SECONDS, the seconds of the wall clock as `date +%s.%N` prints them.
std::optional<syncmeter::Mark> parseMark(const std::string& text) {
  const std::size_t at = text.rfind('@');
  if (at == std::string::npos || at == 0) return std::nullopt;
  double time = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data() + at + 1, end, time);
  if (error != std::errc() || stop != end) return std::nullopt;
  return syncmeter::Mark{text.substr(0, at), time};
}

int record(const syncmeter::RecordSettings& settings) {
  const std::vector<std::string> command = syncmeter::recordCommand(settings);
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  std::fprintf(stderr, "tessarine-syncmeter: I can't run ffmpeg: %s\n", std::strerror(errno));
  return kExitFailure;
}

int analyse(const std::string& file, const std::vector<std::string>& markTexts, bool json,
            std::optional<double> limitMs) {
  std::vector<syncmeter::Mark> marks;
  for (const std::string& text : markTexts) marks.push_back(*parseMark(text));
  const syncmeter::Recording recording = syncmeter::readRecording(file);
  const syncmeter::SyncResult result = syncmeter::measureSync(syncmeter::findPictureChanges(recording.frames),
                                                              syncmeter::findClicks(recording), marks);
  std::fputs((json ? syncmeter::jsonReport(result) : syncmeter::textReport(result)).c_str(), stdout);
  if (!limitMs) return 0;
  const std::vector<std::string> faults = syncmeter::grossFaults(result, *limitMs);
  for (const std::string& fault : faults) std::fprintf(stderr, "%s: %s\n", file.c_str(), fault.c_str());
  return faults.empty() ? 0 : kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  cli::CommandLine line("tessarine-syncmeter",
                        "Measures how far the sound runs from the picture: records the screen and a sound "
                        "source with ffmpeg, then pairs each colour change of the picture with the click "
                        "nearest it and prints the offsets (sound minus picture, ms; positive: the sound is late).");
  CLI::App& app = line.app();
  app.require_subcommand(1);

  syncmeter::RecordSettings settings;
  CLI::App* recorder = app.add_subcommand("record", "Record the screen and the sound into FILE (NUT)");
  recorder->add_option("file", settings.file, "The recording to write")->required();
  recorder->add_option("--grab", settings.grab, "x11grab's input: DISPLAY+X,Y")->required();
  recorder->add_option("--size", settings.size, "WIDTHxHEIGHT of the area grabbed")->required();
  recorder->add_option("--source", settings.source, "The sound server's source, e.g. SINK.monitor")->required();
  recorder->add_option("--seconds", settings.seconds, "How long to record")->required()
      ->check(cli::number("a number of seconds above 0", [](double s) { return s > 0; }));
  recorder->add_option("--fps", settings.framesPerSecond, "Frames grabbed per second")
      ->check(CLI::Range(1, 1000));

  std::string file;
  std::vector<std::string> marks;
  bool json = false;
  std::optional<double> limitMs;
  CLI::App* analyser = app.add_subcommand("analyse", "Print the offsets found in FILE");
  analyser->add_option("file", file, "A recording made by record")->required();
  analyser->add_option("--mark", marks, "NAME@SECONDS: a key pressed at that wall-clock time; the changes after "
                                        "it are counted as \"after NAME\"")
      ->check(CLI::Validator([](std::string& text) -> std::string {
        return parseMark(text) ? "" : "expected NAME@SECONDS, not \"" + text + "\"";
      }, ""));
  analyser->add_flag("--json", json, "Print JSON instead of text");
  analyser->add_option("--limit", limitMs, "Fail when a median offset or the drift lies beyond this many ms")
      ->check(cli::number("a number of milliseconds above 0", [](double ms) { return ms > 0; }));

  if (const std::optional<int> status = line.parse(argc, argv)) return *status;
  try {
    return recorder->parsed() ? record(settings) : analyse(file, marks, json, limitMs);
  } catch (const common::Error& failure) {
    std::fprintf(stderr, "tessarine-syncmeter: %s\n", failure.described().c_str());
    return kExitFailure;
  }
}
