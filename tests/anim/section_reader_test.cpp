// Motion and envelope sections read from scene text: field order, layout freedom, and
// every refusal of a malformed section.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "anim/keyed_curve.h"
#include "common/data_file.h"
#include "support/error_message.h"
#include "support/temp_dir.h"

namespace tessarine::anim {
namespace {

using testing::TempDir;

constexpr float kFps = 25;

// Three keys; the second has every trailing field set, in file order: frame, linear,
// tension, continuity, bias.
// Only the order of tokens counts: one key spans two lines, one a line, one a token a line.
const char* const kMotionText =
    "(unnamed)\n9\n3\n"
    "0 0 0 0 0 0 1 1 1\n0 0 0 0 0\n"
    "1 2 3 10 20 30 2 3 4 15 1 0.5 -0.25 0.125\n"
    "5\n6\n7\n40\n50\n60\n5\n6\n7\n\n45\n0\n0\n0\n0\n"
    "EndBehavior 1\n";
const char* const kEnvelopeText = "1\n2\n0.5\n0 0 0 0 0\n2.5\n60 1 0.25 0.5 -0.75\nEndBehavior 2\n";

enum class Section { kMotion, kEnvelope };
using enum Section;

// The message reading the section at `path` fails with, or "(no error)".
std::string readFailure(Section section, const std::string& path) {
  common::DataFile file(path, "rt");
  return tessarine::testing::messageOf([&] {
    if (section == kMotion) Motion(file, kFps);
    else Envelope(file, kFps);
  });
}

TEST(SectionReaderTest, FieldsLandInOrderAndTheStreamStopsAfterTheSection) {
  TempDir dir;
  common::DataFile motionFile(dir.write("m.lws", std::string(kMotionText) + "LockedChannels 0\n"), "rt");
  Motion motion(motionFile, kFps);
  EXPECT_EQ(std::tuple(motion.keyCount(), motion.lastFrame()), std::tuple(3u, 45u));
  const MotionKey& k = motion.keys()[1];
  EXPECT_EQ(std::tuple(k.values, k.frame, k.linear, k.tension, k.continuity, k.bias),
            std::tuple(ChannelValues{1, 2, 3, 10, 20, 30, 2, 3, 4}, 15u, 1u, 0.5f, -0.25f, 0.125f));
  EXPECT_EQ(motionFile.readToken("next keyword"), "LockedChannels");

  common::DataFile envelopeFile(dir.write("e.lws", std::string(kEnvelopeText) + "FogType 1\n"), "rt");
  Envelope envelope(envelopeFile, kFps);
  ASSERT_EQ(envelope.keyCount(), 2u);
  const EnvelopeKey& key = envelope.keys()[1];
  EXPECT_EQ(std::tuple(key.values[0], key.frame, key.linear, key.tension, key.continuity, key.bias),
            std::tuple(2.5f, 60u, 1u, 0.25f, 0.5f, -0.75f));
  EXPECT_EQ(envelopeFile.readToken("next keyword"), "FogType");
}

TEST(SectionReaderTest, MalformedAndTruncatedSectionsAreRefusedWithTheirMessage) {
  const std::string key = "0 0 0 0 0 0 1 1 1\n0 0 0 0 0\n";
  const std::string bound = " in {path} at line 3 is more than the rest of the file can hold";
  const struct {
    Section section;
    std::string text, message;
  } cases[] = {
      // Keys of the smallest size, exactly the 28 bytes each that the count bound allows for.
      {kMotion, "(unnamed) 9 2\n" + key + "0 0 0 0 0 0 1 1 1\n1 0 0 0 0\nEndBehavior 1", "(no error)"},
      {kEnvelope, "1 2\n0 0 0 0 0 0\n0 1 0 0 0 0\nEndBehavior 1", "(no error)"},
      {kMotion, "", "Unexpected end of file in {path}: expected \"(unnamed)\""},
      {kMotion, "(Unnamed) 9 1\n" + key + "EndBehavior 1", "Not (unnamed)"},
      {kMotion, "(unnamed) 8 1\n" + key + "EndBehavior 1", "Not Motion Section"},
      {kMotion, "(unnamed) 10 1\n" + key + "EndBehavior 1", "Not Motion Section"},
      // One key more in the file than the count says.
      {kMotion, "(unnamed) 9 1\n" + key + key + "EndBehavior 1", "Not EndBehavior"},
      {kMotion, "(unnamed) 9 1\n" + key, "Unexpected end of file in {path}: expected \"EndBehavior\""},
      {kMotion, "(unnamed) 9 1\n" + key + "EndBehavior", "Unexpected end of file in {path}: expected end behaviour"},
      {kMotion, "(unnamed)\n9\n", "Unexpected end of file in {path}: expected key count"},
      {kMotion, "(unnamed)\n9\n0\nEndBehavior 1", "Motion section without keys in {path} at line 3"},
      {kMotion, "(unnamed)\n9\n4000000000\n" + key + "EndBehavior 1", "Key count 4000000000" + bound},
      {kMotion, "(unnamed)\n9\n2\n" + key + "EndBehavior 1", "Key count 2" + bound},
      {kMotion, "(unnamed) 9 2\n0 0 0 0 0 0 1 1 1\n10 0 0 0 0\n0 0 0 0 0 0 1 1 1\n10 0 0 0 0\nEndBehavior 1",
       "Key at frame 10 does not come after the key at frame 10 in {path} at line 5"},
      {kMotion, "(unnamed) 9 1\n0 0 0 1.0x 0 0 1 1 1\n0 0 0 0 0\nEndBehavior 1",
       "Expected channel value (a number), found \"1.0x\" in {path} at line 2"},
      {kMotion, "(unnamed) 9 1\n0 0 0 0 0 0 1 1 1\n-1 0 0 0 0\nEndBehavior 1",
       "Expected key frame (an unsigned number), found \"-1\" in {path} at line 3"},
      {kMotion, "(unnamed) 9 1\n0 0 0 0 0 0 1 1 1\n0 0 nan 0 0\nEndBehavior 1",
       "Expected tension (a number), found \"nan\" in {path} at line 3"},
      // A key one value short runs into the keyword.
      {kMotion, "(unnamed) 9 1\n0 0 0 0 0 0 1 1\n0 0 0 0 0\nEndBehavior 1",
       "Expected bias (a number), found \"EndBehavior\" in {path} at line 4"},
      {kMotion, "(unnamed) 9 1\n0 0 0 0 0 0 1 1 1 0 0 0 0 0 EndBehavior x",
       "Expected end behaviour (an unsigned number), found \"x\" in {path} at line 2"},
      {kEnvelope, "2 1 0 0 0 0 0 0 EndBehavior 1", "Not Envelope Section"},
      {kEnvelope, "(unnamed) 1 1 0 0 0 0 0 0 EndBehavior 1",
       "Expected channel count (an unsigned number), found \"(unnamed)\" in {path} at line 1"},
      {kEnvelope, "1 1 0 0 0 0 0 0 End 1", "Not EndBehavior"},
      {kEnvelope, "1\n0\nEndBehavior 1", "Envelope section without keys in {path} at line 2"},
      {kEnvelope, "1\n4000000000\n0 0 0 0 0 0\nEndBehavior 1",
       "Key count 4000000000 in {path} at line 2 is more than the rest of the file can hold"},
      {kEnvelope, "1 2\n0 7 0 0 0 0\n0 3 0 0 0 0\nEndBehavior 1",
       "Key at frame 3 does not come after the key at frame 7 in {path} at line 3"},
      {kEnvelope, "1 1\n0.5.5 0 0 0 0 0\nEndBehavior 1",
       "Expected envelope value (a number), found \"0.5.5\" in {path} at line 2"},
  };
  TempDir dir;
  int index = 0;
  for (const auto& c : cases) {
    std::string path = dir.write("case" + std::to_string(index++) + ".lws", c.text);
    EXPECT_EQ(readFailure(c.section, path), dir.expand(c.message, path)) << c.text;
  }
  // Every truncation short of the end behaviour's number is refused; the number is the
  // last token and reads whole without its line break.
  for (auto [section, text] : {std::pair{kMotion, std::string(kMotionText)}, {kEnvelope, std::string(kEnvelopeText)}}) {
    for (std::size_t length = 0; length < text.size(); ++length) {
      const bool whole = length + 1 == text.size();
      EXPECT_EQ(readFailure(section, dir.write("cut.lws", text.substr(0, length))) == "(no error)", whole) << length;
    }
  }
}

}  // namespace
}  // namespace tessarine::anim
