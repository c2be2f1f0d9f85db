// ffmpeg started with posix_spawn and fed raw frames over a socket, so that an ffmpeg that
// has stopped reading is an error to report rather than a SIGPIPE.
#include "capture/video_encoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "common/error.h"

extern char** environ;

namespace tessarine::capture {

namespace {

constexpr int kChannels = 4;

std::string number(double value) {
  char text[32];
  auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

// Names go to ffmpeg as plain files: "-" or "pipe:1" would otherwise mean a stream, and
// a colon in a name would be read as a protocol.
std::string fileUrl(const std::string& path) { return "file:" + path; }

std::vector<std::string> ffmpegArguments(const std::string& ffmpegPath, const VideoSettings& s,
                                         const std::string& output) {
  std::vector<std::string> arguments = {
      ffmpegPath, "-hide_banner", "-loglevel", "error", "-nostats", "-y",
      // Without it ffmpeg exits 0 when a full disk stops it writing the end of the file,
      // leaving one no player can read; with it a damaged frame of the music stops it too.
      "-xerror",
      // The frames: raw RGBA as read back, bottom row first, hence the flip.
      "-f", "rawvideo", "-pixel_format", "rgba", "-video_size",
      std::to_string(s.width) + "x" + std::to_string(s.height), "-framerate", number(s.framesPerSecond),
      "-i", "pipe:0"};
  if (s.musicFile.empty()) {
    arguments.insert(arguments.end(), {"-map", "0:v:0"});
  } else {
    // The music, from the moment of show time at which the frames begin.
    arguments.insert(arguments.end(),
                     {"-ss", number(s.musicOffset), "-i", fileUrl(s.musicFile), "-map", "0:v:0", "-map", "1:a:0"});
  }
  arguments.insert(arguments.end(), {"-vf", "vflip", "-c:v", "libx264", "-pix_fmt", "yuv420p"});
  if (!s.musicFile.empty()) arguments.insert(arguments.end(), {"-c:a", "aac", "-shortest"});
  arguments.insert(arguments.end(), {"-movflags", "+faststart", fileUrl(output)});
  return arguments;
}

std::string describeStatus(int status) {
  return WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status)) : "it was stopped by a signal";
}

}  // namespace

std::optional<std::string> findOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr || name.empty() || name.find('/') != std::string::npos) return std::nullopt;
  std::string_view rest(path);
  while (true) {
    std::size_t colon = rest.find(':');
    std::string directory(rest.substr(0, colon));
    // An empty entry is the working directory.
    std::string candidate = (directory.empty() ? std::string(".") : directory) + "/" + name;
    struct stat info {};
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    if (colon == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(colon + 1);
  }
}

VideoEncoder::VideoEncoder(const std::string& ffmpegPath, const VideoSettings& settings)
    : file_(settings.path),
      frameBytes_(static_cast<std::size_t>(settings.width) * static_cast<std::size_t>(settings.height) * kChannels) {
  // A socket rather than a pipe: writing to it with MSG_NOSIGNAL reports a vanished
  // reader as an error instead of killing the process with SIGPIPE.
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    throw common::Error(std::string("I can't make a channel to ffmpeg: ") + std::strerror(errno));
  }
  // ffmpeg's end is only ever read from.
  shutdown(ends[1], SHUT_WR);

  std::vector<std::string> arguments = ffmpegArguments(ffmpegPath, settings, file_.partPath());
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // dup2 clears close-on-exec on the copy, so only standard input survives the exec.
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
  pid_t child = -1;
  int failure = posix_spawn(&child, ffmpegPath.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);
  if (failure != 0) {
    close(ends[0]);
    throw common::Error("I can't start " + ffmpegPath + ": " + std::strerror(failure));
  }
  input_ = ends[0];
  child_ = child;
}

VideoEncoder::~VideoEncoder() { release(); }

VideoEncoder::VideoEncoder(VideoEncoder&& other) noexcept
    : file_(std::move(other.file_)),
      frameBytes_(other.frameBytes_),
      input_(std::exchange(other.input_, -1)),
      child_(std::exchange(other.child_, -1)),
      endedWithTheMusic_(other.endedWithTheMusic_) {}

VideoEncoder& VideoEncoder::operator=(VideoEncoder&& other) noexcept {
  if (this != &other) {
    release();
    file_ = std::move(other.file_);
    frameBytes_ = other.frameBytes_;
    input_ = std::exchange(other.input_, -1);
    child_ = std::exchange(other.child_, -1);
    endedWithTheMusic_ = other.endedWithTheMusic_;
  }
  return *this;
}

void VideoEncoder::writeFrame(std::span<const std::uint8_t> rgba) {
  if (endedWithTheMusic_) return;
  if (input_ < 0) throw common::Error("The video " + file_.path() + " is already finished");
  if (rgba.size() != frameBytes_) throw common::Error("A frame of the wrong size for the video " + file_.path());
  const std::uint8_t* data = rgba.data();
  std::size_t left = rgba.size();
  while (left > 0) {
    ssize_t sent = send(input_, data, left, MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      // ffmpeg has stopped reading, so it is ending: its status says how. Having made the
      // whole video, it stops where the music ends.
      close(std::exchange(input_, -1));
      const int status = waitForExit();
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        file_.keep();
        endedWithTheMusic_ = true;
        return;
      }
      file_.discard();
      throw common::Error("ffmpeg stopped taking frames for " + file_.path() + ": " + std::strerror(error) + " (" +
                          describeStatus(status) + ")");
    }
    data += sent;
    left -= static_cast<std::size_t>(sent);
  }
}

void VideoEncoder::finish() {
  if (std::exchange(endedWithTheMusic_, false)) return;
  if (child_ < 0) throw common::Error("The video " + file_.path() + " is already finished");
  close(std::exchange(input_, -1));
  int status = waitForExit();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    file_.discard();
    throw common::Error("ffmpeg could not make " + file_.path() + " (" + describeStatus(status) + ")");
  }
  file_.keep();
}

int VideoEncoder::waitForExit() noexcept {
  int status = 0;
  while (waitpid(child_, &status, 0) < 0) {
    if (errno != EINTR) {
      status = -1;
      break;
    }
  }
  child_ = -1;
  return status;
}

void VideoEncoder::release() noexcept {
  if (input_ >= 0) close(std::exchange(input_, -1));
  // An unfinished video is not wanted: ffmpeg need not finish writing it, and must be gone
  // before what it wrote is removed.
  if (child_ >= 0) {
    kill(child_, SIGKILL);
    waitForExit();
  }
  file_.discard();
}

}  // namespace tessarine::capture
