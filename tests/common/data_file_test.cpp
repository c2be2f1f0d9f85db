// The data file under every reader: opening and its bounds, tokens and their lines, numbers
// checked whole, binary reads that never pass the end; and the data directory's paths.
#include "common/data_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "common/file_bytes.h"
#include "common/path.h"
#include "support/error_message.h"
#include "support/temp_dir.h"

namespace tessarine::common {
namespace {

using testing::messageOf;
using testing::placeOf;
using testing::TempDir;

TEST(DataFileTest, OpenFailureNamesPathAndModeAndPlacesTheSystemsReason) {
  TempDir dir;
  // A directory opens with fopen on Linux; it is still no data file.
  const std::pair<std::string, std::string> cases[] = {{"Data/missing.lws", "No such file or directory"},
                                                       {dir.str(), "not a regular file"}};
  for (const auto& [path, reason] : cases) {
    EXPECT_EQ(messageOf([&] { DataFile(path, "rb"); }), "I can't open file " + path + " as rb");
    EXPECT_EQ(placeOf([&] { DataFile(path, "rb"); }), path + ": " + reason);
  }
  // Refused from its size, before a byte is read: the file holds no blocks.
  const std::string huge = dir.write("huge.tga", "");
  std::filesystem::resize_file(huge, kMaxFileBytes + 1);
  EXPECT_EQ(messageOf([&] { DataFile(huge, "rb"); }),
            "File " + huge + " of 1074790401 bytes is larger than the 1074790400 bytes a data file can hold");
}

TEST(DataFileTest, TokensSkipAnyWhiteSpaceCountLinesAndAreCheckedWhole) {
  DataFile file(bytesOf("LWSC\r\n1\n\n  FirstFrame\t30 \n4294967295 -2.5e1"), "a.lws");
  EXPECT_EQ(file.readToken("header"), "LWSC");
  EXPECT_EQ(file.readUnsigned("version"), 1u);
  EXPECT_EQ(file.readToken("keyword"), "FirstFrame");
  EXPECT_EQ(file.line(), 4u);
  EXPECT_EQ(file.readUnsigned("frame"), 30u);
  EXPECT_EQ(file.readUnsigned("count"), 4294967295u);
  EXPECT_EQ(file.readFloat("value"), -25.0f);
  EXPECT_FALSE(file.nextToken().has_value());
  EXPECT_EQ(messageOf([&] { file.readToken("a keyword"); }), "Unexpected end of file in a.lws: expected a keyword");

  const std::string longest(DataFile::kMaxToken, 'x');
  const struct {
    std::string text, message;  // the refusal of the second token read as a count, or a float when "." leads
  } cases[] = {
      {longest + " " + longest + "y", "Token longer than 127 characters in n.lws at line 1"},
      {std::string("x\n\0", 3), "Unexpected NUL byte in n.lws at line 2"},
      {"x\n4294967296", "Number 4294967296 out of range for count in n.lws at line 2"},
      {"x 12abc", "Expected count (an unsigned number), found \"12abc\" in n.lws at line 1"},
      {"x 1.5", "Expected count (an unsigned number), found \"1.5\" in n.lws at line 1"},
      {". 0x", "Expected value (a number), found \"0x\" in n.lws at line 1"},
  };
  for (const auto& c : cases) {
    DataFile numbers(bytesOf(c.text), "n.lws");
    const bool isFloat = numbers.readToken("first") == ".";
    auto read = [&] { isFloat ? numbers.readFloat("value") : static_cast<float>(numbers.readUnsigned("count")); };
    EXPECT_EQ(messageOf(read), c.message);
  }
}

TEST(DataFileTest, LeadingFloatReadsLikeTheCConversion) {
  EXPECT_EQ(std::tuple(*leadingFloat("300"), *leadingFloat("2.5junk")), std::tuple(300.0f, 2.5f));
  for (const char* bad : {"(envelope)", "", "nan", "inf", "-infinity", "1e999"}) EXPECT_FALSE(leadingFloat(bad)) << bad;
}

TEST(DataFileTest, BinaryReadsDetectShortFilesAndNeverSkipPastTheEnd) {
  DataFile file(bytesOf("\x12\x34\x56\x78\xAB\xCD\x01"), "b.lwo");
  EXPECT_EQ(file.size(), 7u);
  EXPECT_EQ(file.readU32BE(), 0x12345678u);
  EXPECT_EQ(file.readU16LE(), 0xCDABu);
  EXPECT_EQ(file.remaining(), 1u);
  EXPECT_EQ(messageOf([&] { file.skip(2); }), "Unexpected end of file in b.lwo at byte 6");
  file.skip(1);  // up to the very end
  EXPECT_EQ(messageOf([&] { file.readU16BE(); }), "Unexpected end of file in b.lwo at byte 7");
}

TEST(PathTest, DataDirectoryJoining) {
  EXPECT_EQ(joinPath("Data", "S3.lws"), "Data/S3.lws");
  EXPECT_EQ(joinPath("-", "S3.lws"), "S3.lws");
  EXPECT_EQ(messageOf([] { joinPath(std::string(kMaxPath, 'd'), "x"); }).rfind("Path longer than 4095 characters: dd", 0), 0u);
  // The image stands beside the object: only the last component's extension is replaced.
  EXPECT_EQ(imagePathFor("-", "a.b/ship.obj"), "a.b/ship.tga");
  EXPECT_EQ(imagePathFor("data", "ship."), "data/ship.tga");
  for (std::string name : {"ab", "a.b/c", ".hidden"}) {
    EXPECT_EQ(messageOf([&] { imagePathFor("data", name); }), "Object name " + name + " has no extension to replace with tga");
  }
}

}  // namespace
}  // namespace tessarine::common
