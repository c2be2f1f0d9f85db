// The tessarine-capture program run as a user runs it: exit statuses and messages for bad
// arguments, missing files and a full disk, a stretch of numbered PNG files, the same bytes
// on every run, and a video with the music when ffmpeg is there.
#include <gtest/gtest.h>

#include <iterator>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "capture/png_file.h"
#include "capture/show_capture.h"
#include "capture/video_encoder.h"
#include "capture_fixture.h"
#include "png_decode.h"
#include "support/program_run.h"

namespace tessarine::capture {
namespace {

namespace fs = std::filesystem;

class CaptureProgramTest : public ::testing::Test {
 protected:
  // Runs the program in the work folder after `prefix`, such as "PATH=/nowhere" or a
  // limit; returns the exit status (-1 when killed) and keeps standard error.
  int run(const std::vector<std::string>& arguments, const std::string& prefix = "") {
    std::string command = "cd '" + work_.str() + "' && " + prefix + " '" + TESSARINE_CAPTURE_PROGRAM + "'";
    for (const std::string& a : arguments) command += " '" + a + "'";
    testing::ProgramRun ran = testing::runProgram(command, log_.path());
    errors_ = ran.err;
    return ran.status;
  }
  std::vector<std::string> withData(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {"--data", data_, "--size", "64x48"});
    return arguments;
  }
  // Five seconds of tone, the music when --data is given alone.
  void writeMusic() const {
    const std::string tone = "ffmpeg -loglevel error -f lavfi -i sine=frequency=440:duration=5 -c:a libmp3lame ";
    ASSERT_EQ(std::system(("cd '" + work_.str() + "' && " + tone + "THREE.mp3").c_str()), 0);
  }

  testing::TempDir show_, work_, log_;
  std::string data_ = testing::writeFixtureShow(show_);
  std::string errors_;
};

TEST_F(CaptureProgramTest, BadArgumentsAreNamedWithTheirValueAndGiveStatusTwo) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "nothing to write: give --out PATTERN, --video FILE or both"},
      {{"show", "shots", "--out", "%d.png"}, "The following argument was not expected: shots"},
      {{"--out", "shot.png"}, "--out: \"shot.png\" holds no frame number such as %05d"},
      {{"--out", "% d.png"}, "--out: \"% d.png\" may give its frame number only the flag 0, as in %05d, not \" \""},
      {{"--size", "0x5", "--out", "%d.png"}, "--size: expected WIDTHxHEIGHT, each 1 to 8192, not \"0x5\""},
      {{"--at", "abc", "--out", "%d.png"}, "--at: expected seconds from 0 up, not \"abc\""},
      {{"--fps", "-1", "--out", "%d.png"}, "--fps: expected a rate above 0 and up to 1000, not \"-1\""},
      {{"--from", "2", "--to", "1", "--out", "%d.png"}, "--to comes before --from"},
      {{"--at", "1", "--fps", "30", "--out", "%d.png"}, "--at cannot be combined with --fps, --from or --to"},
      {{"--at", "1", "--video", "show.mp4"}, "--video needs a stretch of frames, not --at"},
      {{"--size", "641x360", "--video", "show.mp4"}, "--video needs an even width and height"},
      {{"--video", ""}, "--video: expected a file name"},
      // Known wrong only once the show's length is read.
      {withData({"--at", "6.000001", "--out", "%d.png"}), "--at 6.000001 is past the end of the show at 6 s"},
      {withData({"--from", "1", "--to", "7", "--out", "%d.png"}), "--to 7 is past the end of the show at 6 s"},
  };
  for (const auto& [arguments, message] : cases) {
    EXPECT_EQ(run(arguments), 2) << message;
    EXPECT_EQ(errors_, "tessarine-capture: " + message + "\nRun tessarine-capture --help for the options.\n");
  }
  EXPECT_TRUE(fs::is_empty(work_.path()));
}

TEST_F(CaptureProgramTest, AMissingSceneGivesTheReadersMessageAndStatusOne) {
  fs::remove(show_.path() / "S3.lws");
  EXPECT_EQ(run(withData({"--at", "1", "--out", "%d.png"})), 1);
  EXPECT_EQ(errors_, "tessarine-capture: I can't open file " + data_ + "/S3.lws as rt\n");
}

// A disk that fills, as a limit on the size of a file: a frame or a video that does not
// fit leaves nothing under its name, nor beside it.
TEST_F(CaptureProgramTest, AFullDiskLeavesNoFileBehind) {
  const std::string full = "trap '' XFSZ; ulimit -f 1;";  // 512 bytes, enough for the messages
  EXPECT_EQ(run({"--data", data_, "--size", "256x192", "--at", "0.5", "--out", "shots/%d.png"}, full), 1);
  EXPECT_EQ(errors_, "tessarine-capture: I can't write file shots/0.png: File too large\n");
  EXPECT_TRUE(fs::is_empty(work_.path() / "shots"));
  if (!findOnPath("ffmpeg")) GTEST_SKIP() << "no ffmpeg";
  writeMusic();
  EXPECT_EQ(run(withData({"--fps", "10", "--to", "1", "--video", "film/show.mp4"}), full), 1);
  // ffmpeg has said why first; it fails as it finishes, all frames taken.
  EXPECT_TRUE(errors_.ends_with("tessarine-capture: ffmpeg could not make film/show.mp4 (exit status 1)\n")) << errors_;
  EXPECT_TRUE(fs::is_empty(work_.path() / "film"));
}

// Without --data the show is read from Data in the working folder; every run gives the
// bytes of the capture in this process.
TEST_F(CaptureProgramTest, OneSecondAtThirtyFramesGivesThirtyOneFramesTheSameEveryRun) {
  fs::copy(show_.path(), work_.path() / "Data");
  ShowCapture show(data_, 64, 48);
  writePng(log_.str() + "/own.png", show.frameAt(0.5), 64, 48);
  for (int runs = 0; runs < 2; ++runs) {
    ASSERT_EQ(run({"--size", "64x48", "--fps", "30", "--from", "0", "--to", "1", "--out", "shots/%05d.png"}), 0)
        << errors_;
    EXPECT_EQ(std::distance(fs::directory_iterator(work_.path() / "shots"), fs::directory_iterator()), 31);
    EXPECT_EQ(testing::readFile(work_.path() / "shots/00015.png"), testing::readFile(log_.path() / "own.png"));
  }
  EXPECT_TRUE(fs::exists(work_.path() / "shots/00030.png"));
}

TEST_F(CaptureProgramTest, AVideoNeedsFfmpeg) {
  EXPECT_EQ(run(withData({"--video", "show.mp4"}), "PATH=" + log_.str()), 1);
  EXPECT_EQ(errors_, "tessarine-capture: --video needs ffmpeg, and there is none on the PATH\n");

}

TEST_F(CaptureProgramTest, AVideoHoldsThePicturesAndTheMusic) {
  if (!findOnPath("ffmpeg") || !findOnPath("ffprobe")) GTEST_SKIP() << "no ffmpeg";
  // From 2 s on the music outlasts the 1.1 s of pictures.
  writeMusic();
  ASSERT_EQ(run(withData({"--fps", "10", "--from", "2", "--to", "3", "--video", "film/show.mp4"})), 0) << errors_;
  const std::string probe = "ffprobe -v error -show_entries stream=codec_name,width,height,pix_fmt,nb_frames -of "
                            "compact=p=0:nk=0 '" + work_.str() + "/film/show.mp4' > '" + log_.str() + "/probe.txt'";
  ASSERT_EQ(std::system(probe.c_str()), 0);
  const std::string streams = testing::readFile(log_.path() / "probe.txt");
  EXPECT_NE(streams.find("codec_name=h264|width=64|height=48|pix_fmt=yuv420p|nb_frames=11"), std::string::npos)
      << streams;
  EXPECT_NE(streams.find("codec_name=aac"), std::string::npos) << streams;
}

// A LightWave object named by path is captured turning in the middle of the picture, on the
// view's own backdrop; a video of it without --music has pictures and no sound.
TEST_F(CaptureProgramTest, ALightWaveObjectIsCapturedAloneAndItsVideoHasNoSound) {
  const std::string object = data_ + "/square.lwo";
  ASSERT_EQ(run({object, "--size", "64x48", "--at", "0", "--out", "o/%d.png"}), 0) << errors_;
  const std::optional<testing::DecodedPng> png = testing::decodePng(work_.str() + "/o/0.png");
  ASSERT_TRUE(png);
  auto pixel = [&](int x, int y) {
    const auto* p = &png->rgb[static_cast<std::size_t>(3 * (y * png->width + x))];
    return std::vector<int>{p[0], p[1], p[2]};
  };
  EXPECT_EQ(pixel(0, 0), (std::vector<int>{51, 51, 64})) << "the backdrop";
  EXPECT_NE(pixel(32, 24), pixel(0, 0)) << "the object in the middle";
  EXPECT_EQ(run({object, "--data", data_, "--at", "0", "--out", "o/%d.png"}), 2);

  if (!findOnPath("ffmpeg") || !findOnPath("ffprobe")) GTEST_SKIP() << "no ffmpeg";
  ASSERT_EQ(run({object, "--size", "64x48", "--fps", "10", "--to", "1", "--video", "o.mp4"}), 0) << errors_;
  const std::string probe = "ffprobe -v error -show_entries stream=codec_name -of compact=p=0:nk=0 '" + work_.str() +
                            "/o.mp4' > '" + log_.str() + "/probe.txt'";
  ASSERT_EQ(std::system(probe.c_str()), 0);
  EXPECT_EQ(testing::readFile(log_.path() / "probe.txt"), "codec_name=h264\n");
}

}  // namespace
}  // namespace tessarine::capture
