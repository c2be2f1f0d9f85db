// The MP3 writer checked through an independent decoder (libmpg123): what goes in comes
// back with its length, rate, channels and tones; no tag to skip; failures are reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/error_message.h"
#include "support/temp_dir.h"
#include "synth/mp3_reader.h"
#include "synth/mp3_writer.h"
#include "synth/signal.h"

namespace tessarine::synth {
namespace {

using tessarine::testing::messageOf;
using tessarine::testing::TempDir;

// 2.5 s: not a whole number of 1152-sample MP3 frames, so padding must be trimmed.
StereoBuffer twoTones() {
  StereoBuffer audio = testing::sine(440.0, 2.5, 0.5, 0.0);
  audio.right = testing::sine(660.0, 2.5, 0.5).right;
  return audio;
}

TEST(Mp3Test, RoundTripKeepsLengthRateChannelsAndTones) {
  TempDir dir;
  // An old file in the way is replaced whole.
  std::string path = dir.write("THREE.mp3", "old contents");
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
  auto bytesOf = [&](const char* name) {
    std::string path = (dir.path() / name).string();
    writeMp3(path, twoTones());
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  std::string bytes = bytesOf("a.mp3");
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_EQ(bytes, bytesOf("b.mp3"));
  // It opens on an MPEG-1 Layer III frame sync, not an ID3v2 header, and ends without an
  // ID3v1 tag; the first frame is the info frame.
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]) & 0xFE, 0xFA);
  EXPECT_NE(bytes.substr(bytes.size() - 128, 3), "TAG");
  EXPECT_NE(bytes.substr(0, 417).find("Xing"), std::string::npos);
  // Variable bit rate around 190 kbit/s for a rich signal; two plain tones take less.
  EXPECT_LT(static_cast<double>(bytes.size()) * 8.0 / 2.5 / 1000.0, 320.0);
}

TEST(Mp3Test, FailuresAreReportedAndLeaveNothingBehind) {
  TempDir dir;
  std::string missingDir = (dir.path() / "no" / "THREE.mp3").string();
  EXPECT_EQ(messageOf([&] { writeMp3(missingDir, twoTones()); }), "I can't open file " + missingDir + ".part as wb");
  EXPECT_FALSE(std::filesystem::exists(missingDir + ".part"));
  for (auto [name, bytes] : {std::pair<const char*, std::string>{"empty.mp3", ""},
                             {"text.mp3", std::string(4096, 'x')},
                             {"truncated.mp3", "\xFF\xFB\x90\x64"}}) {
    std::string path = dir.write(name, bytes);
    std::string message = messageOf([&] { readMp3(path); });
    EXPECT_EQ(message.rfind("I can't decode " + path + ": ", 0), 0u) << message;
  }
  std::string absent = (dir.path() / "absent.mp3").string();
  EXPECT_EQ(messageOf([&] { readMp3(absent); }), "I can't open file " + absent + " as rb");
}

}  // namespace
}  // namespace tessarine::synth
