// The MP3 writer checked through an independent decoder (libmpg123): what goes in comes
// back with its length, rate, channels and tones; no tag to skip; failures are reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/error.h"
#include "support/error_message.h"
#include "support/temp_dir.h"
#include "synth/mp3_reader.h"
#include "synth/mp3_writer.h"
#include "synth/signal.h"

namespace tessarine::synth {
namespace {

using common::Error;
using tessarine::testing::TempDir;

std::string bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using tessarine::testing::messageOf;

// 2.5 s: not a whole number of 1152-sample MP3 frames, so padding must be trimmed.
StereoBuffer twoTones() {
  StereoBuffer audio = testing::sine(440.0, 2.5, 0.5, 0.0);
  StereoBuffer right = testing::sine(660.0, 2.5, 0.5);
  audio.right = right.right;
  return audio;
}

TEST(Mp3Test, RoundTripKeepsLengthRateChannelsAndTones) {
  TempDir dir;
  std::string path = (dir.path() / "THREE.mp3").string();
  StereoBuffer audio = twoTones();
  writeMp3(path, audio);
  DecodedMp3 decoded = readMp3(path);
  EXPECT_EQ(decoded.sampleRate, 44100);
  EXPECT_EQ(decoded.channels, 2);
  // The info frame's delay and padding let the decoder give back exactly what went in.
  EXPECT_EQ(decoded.audio.frames(), audio.frames());
  // One second from the middle: each tone in its own channel, at its level.
  const StereoBuffer& out = decoded.audio;
  EXPECT_NEAR(testing::amplitudeAt(out.left, 440.0, kSampleRate / 2, kSampleRate), 0.5, 0.02);
  EXPECT_NEAR(testing::amplitudeAt(out.right, 660.0, kSampleRate / 2, kSampleRate), 0.5, 0.02);
  EXPECT_LT(testing::amplitudeAt(out.left, 660.0, kSampleRate / 2, kSampleRate), 0.01);
  EXPECT_LT(testing::amplitudeAt(out.right, 440.0, kSampleRate / 2, kSampleRate), 0.01);
  // The tones line up in time with the input: no encoder delay is left at the start.
  double error = 0.0;
  for (std::size_t i = kSampleRate / 2; i < kSampleRate; ++i) error += std::fabs(out.left[i] - audio.left[i]);
  EXPECT_LT(error / (kSampleRate / 2), 0.02);
}

TEST(Mp3Test, FileHasNoTagAndIsTheSameEveryTime) {
  TempDir dir;
  std::string first = (dir.path() / "a.mp3").string();
  std::string second = (dir.path() / "b.mp3").string();
  writeMp3(first, twoTones());
  writeMp3(second, twoTones());
  std::string bytes = bytesOf(first);
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_EQ(bytes, bytesOf(second));
  // It opens on an MPEG-1 Layer III frame sync, not an ID3v2 header, and ends without an
  // ID3v1 tag; the first frame is the info frame.
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]) & 0xFE, 0xFA);
  EXPECT_NE(bytes.substr(bytes.size() - 128, 3), "TAG");
  EXPECT_NE(bytes.substr(0, 417).find("Xing"), std::string::npos);
  // Variable bit rate around 190 kbit/s for a rich signal; two plain tones take less.
  double kbits = static_cast<double>(bytes.size()) * 8.0 / 2.5 / 1000.0;
  EXPECT_LT(kbits, 320.0);
  EXPECT_FALSE(std::filesystem::exists(first + ".part"));
}

TEST(Mp3Test, WriterReplacesAnOldFileWhole) {
  TempDir dir;
  std::string path = dir.write("THREE.mp3", "old contents");
  writeMp3(path, twoTones());
  EXPECT_EQ(readMp3(path).audio.frames(), twoTones().frames());
}

TEST(Mp3Test, FailuresAreReportedAndLeaveNothingBehind) {
  TempDir dir;
  std::string missingDir = (dir.path() / "no" / "THREE.mp3").string();
  EXPECT_EQ(messageOf([&] { writeMp3(missingDir, twoTones()); }), "I can't open file " + missingDir + ".part as wb");
  EXPECT_FALSE(std::filesystem::exists(missingDir + ".part"));

  struct Case {
    const char* name;
    std::string bytes;
    const char* message;  // after the path
  } cases[] = {
      {"empty.mp3", "", ": "},
      {"text.mp3", std::string(4096, 'x'), ": "},
      {"truncated.mp3", "\xFF\xFB\x90\x64", ": "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir.write(c.name, c.bytes);
    std::string message = messageOf([&] { readMp3(path); });
    EXPECT_EQ(message.rfind("I can't decode " + path + c.message, 0), 0u) << message;
  }
  std::string absent = (dir.path() / "absent.mp3").string();
  EXPECT_EQ(messageOf([&] { readMp3(absent); }), "I can't open file " + absent + " as rb");
}

}  // namespace
}  // namespace tessarine::synth
