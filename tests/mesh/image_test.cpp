// The TGA reader: header fields, the identification field, and refusals of files whose
// header promises more than they hold.
#include "mesh/image.h"

#include <gtest/gtest.h>

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
  std::string pixels = "abcdefghijklmnopqr";
  const struct {
    std::string bytes;
    int width, height, bitsPerPixel;
    std::size_t pixelBytes;
  } cases[] = {
      {header(12, 2, 3, 2, 24) + "made by hand" + pixels, 3, 2, 24, 18},
      // Depths the texture refuses are still read whole; 12 bits make 3 x 12 / 8 = 4 bytes.
      {header(0, 2, 3, 1, 16) + pixels.substr(0, 6), 3, 1, 16, 6},
      {header(0, 3, 5, 1, 8) + pixels.substr(0, 5), 5, 1, 8, 5},
      {header(0, 2, 3, 1, 12) + pixels.substr(0, 4), 3, 1, 12, 4},
  };
  TempDir dir;
  for (const auto& c : cases) {
    Image image(dir.write("good.tga", c.bytes));
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.bitsPerPixel, c.bitsPerPixel);
    EXPECT_EQ(std::string(image.pixels.begin(), image.pixels.end()), pixels.substr(0, c.pixelBytes));
  }
}

TEST(ImageTest, MalformedImagesAreRefusedWithTheirMessages) {
  const std::pair<std::string, std::string> cases[] = {  // "{}" stands for the image's path
      {header(0, 2, 1, 1, 24).substr(0, 17), "Unexpected end of file in {} at byte 17"},
      {header(200, 2, 1, 1, 24) + "abc", "Image identification runs past the end of {}"},
      // 64 MB promised by a 19-byte file: refused before anything is allocated.
      {header(0, 2, 4096, 4096, 32) + "x", "Image {} holds fewer pixels than its 4096 x 4096 x 32-bit header declares"},
      {header(0, 2, 65535, 65535, 255), "Image {} holds fewer pixels than its 65535 x 65535 x 255-bit header declares"},
      {header(0, 2, 2, 2, 24) + std::string(11, 'p'),
       "Image {} holds fewer pixels than its 2 x 2 x 24-bit header declares"},
      {header(4, 2, 1, 1, 24) + "abcdef", "Image {} holds fewer pixels than its 1 x 1 x 24-bit header declares"},
      {header(0, 10, 1, 1, 24) + "\x80" "abc", "Compressed TGA images are not supported: {}"},
  };
  TempDir dir;
  for (const auto& [bytes, message] : cases) {
    SCOPED_TRACE(message);
    std::string path = dir.write("bad.tga", bytes);
    std::string expected = message;
    if (std::size_t at = expected.find("{}"); at != std::string::npos) expected.replace(at, 2, path);
    EXPECT_EQ(messageOf([&] { Image image(path); }), expected);
  }
  EXPECT_EQ(messageOf([&] { Image image(dir.str() + "/none.tga"); }),
            "I can't open file " + dir.str() + "/none.tga as rb");
}

TEST(ImageTest, EveryTruncationOfAGoodImageIsRefused) {
  std::string whole = header(2, 2, 3, 2, 32) + "id" + std::string(24, '\x7F');
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
