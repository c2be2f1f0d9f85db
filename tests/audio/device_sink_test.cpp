// Nothing reaches the terminal from a player on a machine without sound.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "audio/music_player.h"
#include "audio/tone_mp3.h"
#include "support/temp_dir.h"

namespace tessarine::audio {
namespace {

using tessarine::testing::TempDir;

// Everything written to standard output and standard error while it lives goes to a file.
class CapturedTerminal {
 public:
  explicit CapturedTerminal(std::string path) : path_(std::move(path)) {
    std::fflush(nullptr);
    int file = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    savedOut_ = ::dup(STDOUT_FILENO);
    savedErr_ = ::dup(STDERR_FILENO);
    ::dup2(file, STDOUT_FILENO);
    ::dup2(file, STDERR_FILENO);
    ::close(file);
  }
  ~CapturedTerminal() { restore(); }
  CapturedTerminal(const CapturedTerminal&) = delete;
  CapturedTerminal& operator=(const CapturedTerminal&) = delete;

  std::string text() {
    restore();
    std::ifstream in(path_);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  void restore() {
    if (savedOut_ < 0) return;
    std::fflush(nullptr);
    ::dup2(savedOut_, STDOUT_FILENO);
    ::dup2(savedErr_, STDERR_FILENO);
    ::close(savedOut_);
    ::close(savedErr_);
    savedOut_ = savedErr_ = -1;
  }

  std::string path_;
  int savedOut_ = -1;
  int savedErr_ = -1;
};

// The real device: on a machine without sound every output module fails, and neither
// libout123, libmpg123 nor libasound may say so on the terminal.
TEST(DeviceSinkTest, NoSoundServerNoCardAndBadFilesPrintNothing) {
  TempDir dir;
  // No sound server is found here, even on a desktop that has one running; play() is never
  // called, so a machine whose sound card answers stays quiet as well.
  ::setenv("PULSE_SERVER", ("unix:" + (dir.path() / "no-server").string()).c_str(), 1);
  const std::string tone = dir.write("tone.mp3", audio::testing::encodeTone({}));
  const std::string noise = dir.write("noise.mp3", std::string(4096, '\x5a'));
  CapturedTerminal terminal((dir.path() / "terminal.txt").string());
  for (const std::string& file : {tone, noise, (dir.path() / "missing.mp3").string()}) {
    MusicPlayer player(file);
  }
  EXPECT_EQ(terminal.text(), "");
  ::unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace tessarine::audio
