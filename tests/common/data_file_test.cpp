#include "common/data_file.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "common/path.h"
#include "support/error_message.h"
#include "support/temp_dir.h"

namespace tessarine::common {
namespace {

using testing::TempDir;

using testing::messageOf;
using testing::placeOf;

TEST(DataFileTest, OpenFailureNamesPathAndModeAndPlacesTheSystemsReason) {
  EXPECT_EQ(messageOf([] { DataFile("Data/missing.lws", "rt"); }), "I can't open file Data/missing.lws as rt");
  EXPECT_EQ(placeOf([] { DataFile("Data/missing.lws", "rt"); }), "Data/missing.lws: No such file or directory");
  TempDir dir;
  // A directory opens with fopen on Linux; it is still no data file.
  EXPECT_EQ(messageOf([&] { DataFile(dir.str(), "rb"); }), "I can't open file " + dir.str() + " as rb");
  EXPECT_EQ(placeOf([&] { DataFile(dir.str(), "rb"); }), dir.str() + ": not a regular file");
}

TEST(DataFileTest, TokensSkipAnyWhiteSpaceAndCountLines) {
  TempDir dir;
  DataFile file(dir.write("a.lws", "LWSC\r\n1\n\n  FirstFrame\t30 \n"), "rt");
  EXPECT_EQ(file.readToken("header"), "LWSC");
  EXPECT_EQ(file.readUnsigned("version"), 1u);
  EXPECT_EQ(file.readToken("keyword"), "FirstFrame");
  EXPECT_EQ(file.line(), 4u);
  EXPECT_EQ(file.readUnsigned("frame"), 30u);
  EXPECT_FALSE(file.nextToken().has_value());
  EXPECT_EQ(messageOf([&] { file.readToken("a keyword"); }),
            "Unexpected end of file in " + dir.str() + "/a.lws: expected a keyword");
  file.close();
  file.close();
}

TEST(DataFileTest, TokenOfTheFormatsLimitPassesAndOneMoreIsRefused) {
  TempDir dir;
  std::string longest(DataFile::kMaxToken, 'x');
  DataFile file(dir.write("t.lws", longest + " " + longest + "y"), "rt");
  EXPECT_EQ(file.readToken("name"), longest);
  EXPECT_EQ(messageOf([&] { file.readToken("name"); }),
            "Token longer than 127 characters in " + dir.str() + "/t.lws at line 1");
}

TEST(DataFileTest, NumbersAreCheckedWhole) {
  TempDir dir;
  struct Case {
    const char* text;
    const char* message;  // a prefix of the refusal
  } cases[] = {
      {"4294967296", "Number 4294967296 out of range for count"},
      {"-1", "Expected count (an unsigned number), found \"-1\""},
      {"12abc", "Expected count (an unsigned number), found \"12abc\""},
      {"1.5", "Expected count (an unsigned number), found \"1.5\""},
  };
  for (const Case& c : cases) {
    DataFile file(dir.write("n.lws", c.text), "rt");
    EXPECT_EQ(messageOf([&] { file.readUnsigned("count"); }).rfind(c.message, 0), 0u) << c.text;
  }
  DataFile max(dir.write("m.lws", "4294967295 -2.5e1 nan 0x"), "rt");
  EXPECT_EQ(max.readUnsigned("count"), 4294967295u);
  EXPECT_FLOAT_EQ(max.readFloat("value"), -25.0f);
  EXPECT_NE(messageOf([&] { max.readFloat("value"); }).find("found \"nan\""), std::string::npos);
  EXPECT_NE(messageOf([&] { max.readFloat("value"); }).find("found \"0x\""), std::string::npos);
}

TEST(DataFileTest, LeadingFloatReadsLikeTheCConversion) {
  EXPECT_FLOAT_EQ(*leadingFloat("300"), 300.0f);
  EXPECT_FLOAT_EQ(*leadingFloat("2.5junk"), 2.5f);
  EXPECT_FALSE(leadingFloat("(envelope)").has_value());
  EXPECT_FALSE(leadingFloat("").has_value());
  for (const char* unusable : {"nan", "inf", "-infinity", "1e999"}) EXPECT_FALSE(leadingFloat(unusable).has_value()) << unusable;
}

TEST(DataFileTest, BinaryReadsDetectShortFilesAndNeverSkipPastTheEnd) {
  TempDir dir;
  DataFile file(dir.write("b.lwo", std::string("\x12\x34\x56\x78\xAB\xCD\x01", 7)), "rb");
  EXPECT_EQ(file.size(), 7u);
  EXPECT_EQ(file.readU32BE(), 0x12345678u);
  EXPECT_EQ(file.readU16LE(), 0xCDABu);
  EXPECT_EQ(file.remaining(), 1u);
  EXPECT_NE(messageOf([&] { file.skip(2); }).find("Unexpected end of file"), std::string::npos);
  EXPECT_NE(messageOf([&] { file.readU16BE(); }).find("Unexpected end of file"), std::string::npos);
}

TEST(PathTest, DataDirectoryJoining) {
  EXPECT_EQ(joinPath("Data", "S3.lws"), "Data/S3.lws");
  EXPECT_EQ(joinPath("-", "S3.lws"), "S3.lws");
  EXPECT_EQ(joinPath("", "S3.lws"), "S3.lws");
  EXPECT_NE(messageOf([] { joinPath(std::string(kMaxPath, 'd'), "x"); }).find("Path longer than"), std::string::npos);
  // The image stands beside the object: only the last component's extension is replaced.
  EXPECT_EQ(imagePathFor("Data", "ship.lwo"), "Data/ship.tga");
  EXPECT_EQ(imagePathFor("-", "a.b/ship.obj"), "a.b/ship.tga");
  EXPECT_EQ(imagePathFor("data", "ship."), "data/ship.tga");
  for (const char* name : {"ab", "a.b/c", ".hidden"}) {
    EXPECT_EQ(messageOf([&] { imagePathFor("data", name); }),
              "Object name " + std::string(name) + " has no extension to replace with tga");
  }
}

}  // namespace
}  // namespace tessarine::common
