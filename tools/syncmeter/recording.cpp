// Reads a recording back by running ffprobe for the times and ffmpeg for the pixels and
// samples, each into a pipe of this process.
#include "syncmeter/recording.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <sstream>

#include "common/error.h"

extern char** environ;

namespace tessarine::syncmeter {
namespace {

// Frames are shrunk to this many pixels before their mean is taken: the mean stays, and
// the pipe stays small.
constexpr int kThumbWidth = 16;
constexpr int kThumbHeight = 12;
constexpr std::size_t kThumbBytes = kThumbWidth * kThumbHeight * 3;

// Everything `command` writes to its standard output; its standard error passes through.
// `file` is the recording it reads, for the message when it fails.
std::string outputOf(const std::vector<std::string>& command, const std::string& file) {
  int ends[2];
  if (pipe(ends) != 0) throw common::Error(std::string("I can't make a pipe: ") + std::strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, ends[0]);
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);
  if (failed != 0) {
    close(ends[0]);
    throw common::Error("I can't run " + command[0] + ": " + std::strerror(failed), file);
  }
  std::string output;
  char buffer[1 << 16];
  for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) != 0;) {
    if (got > 0) output.append(buffer, static_cast<std::size_t>(got));
    else if (errno != EINTR) break;
  }
  close(ends[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw common::Error(command[0] + " could not read the recording", file);
  }
  return output;
}

double number(std::string_view text, const std::string& file) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw common::Error("ffprobe gave \"" + std::string(text) + "\" for a number", file);
  }
  return value;
}

}  // namespace

std::vector<std::string> recordCommand(const RecordSettings& s) {
  const std::string seconds = std::to_string(s.seconds);
  return {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
          "-thread_queue_size", "1024", "-t", seconds, "-f", "x11grab", "-framerate", std::to_string(s.framesPerSecond),
          "-video_size", s.size, "-i", s.grab,
          // Small fragments, so that a piece of sound arrives soon after the server has it.
          "-thread_queue_size", "1024", "-t", seconds, "-f", "pulse", "-sample_rate", "44100", "-channels", "1",
          "-fragment_size", "441", "-use_wallclock_as_timestamps", "1", "-i", s.source,
          "-map", "0:v", "-map", "1:a", "-copyts", "-vf", "scale=40:30:flags=area,format=rgb24",
          // The frames keep their microsecond times instead of a grid of the frame rate.
          "-enc_time_base:v", "-1", "-fps_mode", "passthrough", "-c:v", "rawvideo", "-c:a", "pcm_s16le",
          "-f", "nut", "file:" + s.file};
}

Recording readRecording(const std::string& file) {
  Recording recording;
  const std::string url = "file:" + file;
  std::istringstream rate(outputOf({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                                    "stream=sample_rate", "-of", "csv=p=0", url}, file));
  if (!(rate >> recording.sampleRate) || recording.sampleRate <= 0) throw common::Error("No sound in the recording", file);

  std::istringstream times(outputOf({"ffprobe", "-v", "error", "-show_entries", "frame=media_type,pts_time,nb_samples",
                                     "-of", "csv=p=0", url}, file));
  std::size_t sampleCount = 0;
  for (std::string line; std::getline(times, line);) {
    std::vector<std::string_view> fields;
    for (std::size_t from = 0, comma = 0; comma != std::string::npos; from = comma + 1) {
      comma = line.find(',', from);
      fields.push_back(std::string_view(line).substr(from, comma - from));
    }
    if (fields[0] == "video" && fields.size() == 2) {
      recording.frames.push_back({.time = number(fields[1], file)});
    } else if (fields[0] == "audio" && fields.size() == 3) {
      const auto samples = static_cast<std::size_t>(number(fields[2], file));
      recording.pieces.push_back({.arrival = number(fields[1], file), .samples = samples});
      sampleCount += samples;
    } else if (!line.empty()) {
      throw common::Error("ffprobe gave \"" + line + "\" for a frame", file);
    }
  }

  const std::string pixels = outputOf({"ffmpeg", "-v", "error", "-nostdin", "-i", url, "-map", "0:v:0", "-fps_mode",
                                       "passthrough", "-vf", "scale=" + std::to_string(kThumbWidth) + ":" +
                                       std::to_string(kThumbHeight) + ":flags=area,format=rgb24",
                                       "-enc_time_base", "-1", "-f", "rawvideo", "pipe:1"}, file);
  if (pixels.size() != recording.frames.size() * kThumbBytes) {
    throw common::Error("The frames decoded do not match the frames listed", file);
  }
  for (std::size_t i = 0; i < recording.frames.size(); ++i) {
    std::array<double, 3>& mean = recording.frames[i].meanColor;
    for (std::size_t b = 0; b < kThumbBytes; ++b) mean[b % 3] += static_cast<unsigned char>(pixels[i * kThumbBytes + b]);
    for (double& channel : mean) channel /= kThumbWidth * kThumbHeight;
  }

  const std::string sound = outputOf({"ffmpeg", "-v", "error", "-nostdin", "-i", url, "-map", "0:a:0", "-ac", "1",
                                      "-f", "s16le", "-c:a", "pcm_s16le", "pipe:1"}, file);
  if (sound.size() != sampleCount * sizeof(std::int16_t)) {
    throw common::Error("The sound decoded does not match the pieces listed", file);
  }
  recording.samples.reserve(sampleCount);
  for (std::size_t i = 0; i < sound.size(); i += 2) {
    const auto low = static_cast<unsigned char>(sound[i]), high = static_cast<unsigned char>(sound[i + 1]);
    recording.samples.push_back(static_cast<std::int16_t>(low | high << 8));
  }
  return recording;
}

}  // namespace tessarine::syncmeter
