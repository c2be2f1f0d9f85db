// The TGA reader: header fields, the identification field, and refusals of files whose
// header promises more than they hold.
#include "mesh/image.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "mesh_fixtures.h"
#include "support/temp_dir.h"

namespace tessarine::mesh {
namespace {

using tessarine::testing::TempDir;
using testing::messageOf;

// A header as the format lays it out; width, height and depth as given.
std::string header(std::uint8_t idLength, std::uint8_t imageType, std::uint16_t width, std::uint16_t height,
                   std::uint8_t bitsPerPixel) {
  std::string out(18, '\0');
  out[0] = static_cast<char>(idLength);
  out[2] = static_cast<char>(imageType);
  out[12] = static_cast<char>(width & 0xFF);
  out[13] = static_cast<char>(width >> 8);
  out[14] = static_cast<char>(height & 0xFF);
  out[15] = static_cast<char>(height >> 8);
  out[16] = static_cast<char>(bitsPerPixel);
  return out;
}

TEST(ImageTest, ReadsHeaderAndPixelsPastTheIdentificationField) {
  formats::TgaImage written;
  written.width = 3;
  written.height = 2;
  written.bitsPerPixel = 24;
  for (int i = 0; i < 18; ++i) written.pixels.push_back(static_cast<std::uint8_t>(10 + i));
  TempDir dir;
  Image image(dir.write("id.tga", formats::writeTga(written, "made by hand")));
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.bitsPerPixel, 24);
  EXPECT_EQ(image.pixels, std::vector<unsigned char>(written.pixels.begin(), written.pixels.end()));
}

TEST(ImageTest, DepthsTheTextureRefusesAreStillReadWhole) {
  TempDir dir;
  // 16 bits: 3 x 1 pixels, 6 bytes; 8 bits: 5 x 1 pixels, 5 bytes.
  Image sixteen(dir.write("16.tga", header(0, 2, 3, 1, 16) + "abcdef"));
  EXPECT_EQ(sixteen.pixels.size(), 6u);
  Image eight(dir.write("8.tga", header(0, 3, 5, 1, 8) + "abcde"));
  EXPECT_EQ(eight.pixels.size(), 5u);
  // A depth that is no whole number of bytes: 3 x 1 x 12 / 8 = 4 bytes by integer division.
  Image odd(dir.write("12.tga", header(0, 2, 3, 1, 12) + "abcd"));
  EXPECT_EQ(odd.pixels.size(), 4u);
}

TEST(ImageTest, MalformedImagesAreRefusedWithTheirMessages) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;  // "{}" stands for the image's path
  };
  const std::vector<Case> cases = {
      {"header cut short", header(0, 2, 1, 1, 24).substr(0, 17), "Unexpected end of file in {} at byte 17"},
      {"identification past the end", header(200, 2, 1, 1, 24) + "abc",
       "Image identification runs past the end of {}"},
      // 64 MB promised by a 19-byte file: refused before anything is allocated.
      {"4096 x 4096 x 32 in one byte", header(0, 2, 4096, 4096, 32) + "x",
       "Image {} holds fewer pixels than its 4096 x 4096 x 32-bit header declares"},
      {"largest header over no pixels", header(0, 2, 65535, 65535, 255),
       "Image {} holds fewer pixels than its 65535 x 65535 x 255-bit header declares"},
      {"one pixel byte short", header(0, 2, 2, 2, 24) + std::string(11, 'p'),
       "Image {} holds fewer pixels than its 2 x 2 x 24-bit header declares"},
      {"identification eats the pixels", header(4, 2, 1, 1, 24) + "abcdef",
       "Image {} holds fewer pixels than its 1 x 1 x 24-bit header declares"},
      {"run-length packets", header(0, 10, 1, 1, 24) + "\x80" "abc",
       "Compressed TGA images are not supported: {}"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir.write("bad.tga", c.bytes);
    std::string expected = c.message;
    if (std::size_t at = expected.find("{}"); at != std::string::npos) expected.replace(at, 2, path);
    EXPECT_EQ(messageOf([&] { Image image(path); }), expected);
  }
  EXPECT_EQ(messageOf([&] { Image image(dir.str() + "/none.tga"); }),
            "I can't open file " + dir.str() + "/none.tga as rb");
}

TEST(ImageTest, EveryTruncationOfAGoodImageIsRefused) {
  formats::TgaImage written;
  written.width = 3;
  written.height = 2;
  written.bitsPerPixel = 32;
  written.pixels.assign(24, 0x7F);
  std::string whole = formats::writeTga(written, "id");
  TempDir dir;
  EXPECT_EQ(Image(dir.write("cut.tga", whole)).pixels.size(), 24u);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    SCOPED_TRACE(size);
    std::string path = dir.write("cut.tga", std::string_view(whole).substr(0, size));
    EXPECT_THROW(Image image(path), common::Error);
  }
}

}  // namespace
}  // namespace tessarine::mesh
