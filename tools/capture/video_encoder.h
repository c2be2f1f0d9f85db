// A video made by ffmpeg from raw frames piped into it, with the music muxed in: H.264 in
// MP4, yuv420p, ending with the shorter of picture and sound. ffmpeg writes beside the
// video's name, which the file takes only once ffmpeg has finished it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "capture/part_file.h"

namespace tessarine::capture {

// The full path of the program `name` in a directory of $PATH, if there is one.
std::optional<std::string> findOnPath(const std::string& name);

struct VideoSettings {
  std::string path;        // the video file, replaced if it exists
  int width = 0;           // even, as yuv420p needs
  int height = 0;
  double framesPerSecond = 0;
  std::string musicFile;  // empty: a video without sound
  double musicOffset = 0;  // seconds into the music at which the first frame stands
};

class VideoEncoder {
 public:
  // Starts `ffmpeg` (the program at `ffmpegPath`) reading frames from a socket that this
  // object owns. Throws common::Error when it cannot be started.
  VideoEncoder(const std::string& ffmpegPath, const VideoSettings& settings);
  // Without a finish(): stops ffmpeg and removes what it wrote, leaving the video's name
  // as it was.
  ~VideoEncoder();
  VideoEncoder(VideoEncoder&& other) noexcept;
  VideoEncoder& operator=(VideoEncoder&& other) noexcept;
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  // One frame, RGBA, bottom row first as OpenGL reads it; none is taken once the music
  // has ended the video. Throws common::Error with the system's reason and ffmpeg's status
  // when ffmpeg has failed (it has said why on standard error); what it wrote is removed.
  void writeFrame(std::span<const std::uint8_t> rgba);
  // Ends the input, waits for ffmpeg to write the file and gives the file its name;
  // throws common::Error unless all of that succeeded, and then removes what ffmpeg wrote.
  void finish();

 private:
  void release() noexcept;
  int waitForExit() noexcept;

  PartFile file_;
  std::size_t frameBytes_ = 0;
  int input_ = -1;  // our end of ffmpeg's standard input
  pid_t child_ = -1;
  bool endedWithTheMusic_ = false;  // ffmpeg finished the video early, at the music's end
};

}  // namespace tessarine::capture
