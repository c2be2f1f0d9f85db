// The tessarine-capture program run as a user runs it: exit statuses and messages for bad
// arguments and missing files, a stretch of numbered PNG files, the same bytes on every
// run, and a video with the music when ffmpeg is there.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "capture/png_file.h"
#include "capture/show_capture.h"
#include "capture/video_encoder.h"
#include "capture_fixture.h"
#include "png_decode.h"

namespace tessarine::capture {
namespace {

constexpr const char* kProgram = TESSARINE_CAPTURE_PROGRAM;

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Outcome {
  int status = -1;
  std::string errors;  // standard error
};

class CaptureProgramTest : public ::testing::Test {
 protected:
  CaptureProgramTest() {
    testing::writeFixtureShow(show_);
  }

  // Runs the program in the work folder with `arguments`, after `environment`
  // assignments such as "PATH=/nowhere".
  Outcome run(const std::vector<std::string>& arguments, const std::string& environment = "") {
    std::string command = "cd '" + work_.str() + "' && " + environment + " '" + kProgram + "'";
    for (const std::string& a : arguments) command += " '" + a + "'";
    command += " >/dev/null 2>'" + (errorsPath()).string() + "'";
    int status = std::system(command.c_str());
    Outcome result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.errors = readFile(errorsPath());
    return result;
  }

  std::filesystem::path errorsPath() const { return log_.path() / "errors.txt"; }
  std::vector<std::string> withData(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {"--data", show_.str(), "--size", "64x48"});
    return arguments;
  }

  testing::TempDir show_;
  testing::TempDir work_;
  testing::TempDir log_;
};

TEST_F(CaptureProgramTest, BadArgumentsGetTheUsageAndStatusTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--out", "%s.png"},
      {"--size", "0x0", "--out", "%d.png"},
      {"--at", "1", "--fps", "30", "--out", "%d.png"},
      {"--wobble"},
      // Known wrong only once the show's length is read.
      withData({"--at", "6.5", "--out", "%d.png"}),
      withData({"--from", "1", "--to", "7", "--out", "%d.png"}),
  };
  for (const std::vector<std::string>& arguments : cases) {
    Outcome r = run(arguments);
    EXPECT_EQ(r.status, 2) << r.errors;
    EXPECT_NE(r.errors.find("usage: tessarine-capture"), std::string::npos) << r.errors;
  }
  EXPECT_TRUE(std::filesystem::is_empty(work_.path()));
}

TEST_F(CaptureProgramTest, AMissingSceneGivesTheReadersMessageAndStatusOne) {
  std::filesystem::remove(show_.path() / "S3.lws");
  Outcome r = run(withData({"--at", "1", "--out", "%d.png"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.errors, "tessarine-capture: I can't open file " + show_.str() + "/S3.lws as rt\n");
}

TEST_F(CaptureProgramTest, TheDefaultDataFolderIsDataInTheWorkingFolder) {
  std::filesystem::copy(show_.path(), work_.path() / "Data");
  Outcome r = run({"--size", "32x24", "--at", "0.5", "--out", "%d.png"});
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(std::filesystem::exists(work_.path() / "0.png"));
}

TEST_F(CaptureProgramTest, OneSecondAtThirtyFramesGivesThirtyOneFramesOfTheSize) {
  Outcome r = run(withData({"--fps", "30", "--from", "0", "--to", "1", "--out", "shots/%05d.png"}));
  ASSERT_EQ(r.status, 0) << r.errors;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(work_.path() / "shots")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 31u);
  EXPECT_EQ(names.front(), "00000.png");
  EXPECT_EQ(names.back(), "00030.png");
  for (const std::string& name : names) {
    testing::DecodedPng png = testing::decodePng((work_.path() / "shots" / name).string());
    ASSERT_TRUE(png.ok) << name;
    EXPECT_EQ(png.width, 64) << name;
    EXPECT_EQ(png.height, 48) << name;
  }
}

TEST_F(CaptureProgramTest, EveryRunGivesTheSameBytesAsTheCaptureInProcess) {
  const std::vector<std::string> arguments = withData({"--at", "2.3", "--at", "4.6", "--out", "%d.png"});
  ASSERT_EQ(run(arguments).status, 0);
  const std::string first = readFile(work_.path() / "0.png");
  const std::string second = readFile(work_.path() / "1.png");
  ASSERT_EQ(run(arguments).status, 0);
  EXPECT_EQ(readFile(work_.path() / "0.png"), first);
  EXPECT_EQ(readFile(work_.path() / "1.png"), second);
  EXPECT_NE(first, second);

  ShowCapture show(show_.str(), 64, 48);
  const std::string own = (log_.path() / "own.png").string();
  writePng(own, show.frameAt(2.3), 64, 48);
  EXPECT_EQ(readFile(own), first);
}

TEST_F(CaptureProgramTest, AVideoNeedsFfmpegAndTheMusic) {
  Outcome r = run(withData({"--video", "show.mp4"}), "PATH=" + log_.str());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.errors, "tessarine-capture: --video needs ffmpeg, and there is none on the PATH\n");

  if (!findOnPath("ffmpeg")) GTEST_SKIP() << "no ffmpeg";
  r = run(withData({"--video", "show.mp4", "--music", "none.mp3"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.errors, "tessarine-capture: I can't open file none.mp3 as rb\n");
  EXPECT_FALSE(std::filesystem::exists(work_.path() / "show.mp4"));
}

TEST_F(CaptureProgramTest, AVideoHoldsThePicturesAndTheMusic) {
  if (!findOnPath("ffmpeg") || !findOnPath("ffprobe")) GTEST_SKIP() << "no ffmpeg";
  // Five seconds of tone: from 2 s on it outlasts the 1.1 s of pictures.
  ASSERT_EQ(std::system(("cd '" + work_.str() +
                         "' && ffmpeg -loglevel error -f lavfi -i sine=frequency=440:duration=5 -c:a libmp3lame "
                         "THREE.mp3")
                            .c_str()),
            0);
  Outcome r = run(withData({"--fps", "10", "--from", "2", "--to", "3", "--video", "film/show.mp4"}));
  ASSERT_EQ(r.status, 0) << r.errors;
  const std::filesystem::path probe = log_.path() / "probe.txt";
  ASSERT_EQ(std::system(("ffprobe -v error -show_entries stream=codec_name,width,height,pix_fmt,nb_frames -of "
                         "compact=p=0:nk=0 '" +
                         (work_.path() / "film" / "show.mp4").string() + "' > '" + probe.string() + "'")
                            .c_str()),
            0);
  const std::string streams = readFile(probe);
  EXPECT_NE(streams.find("codec_name=h264|width=64|height=48|pix_fmt=yuv420p|nb_frames=11"), std::string::npos)
      << streams;
  EXPECT_NE(streams.find("codec_name=aac"), std::string::npos) << streams;
}

}  // namespace
}  // namespace tessarine::capture
