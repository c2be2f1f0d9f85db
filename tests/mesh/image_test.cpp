// The TGA reader: header fields, the identification field and colour map, the origin,
// and refusals of files whose header promises more than they hold or a texture can take.
#include "mesh/image.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "mesh_fixtures.h"
#include "support/temp_dir.h"

namespace tessarine::mesh {
namespace {

using tessarine::testing::TempDir;
using testing::messageOf;

// A header as the format lays it out: a colour map of `mapLength` entries of `mapBits`
// bits, the descriptor byte as given.
std::string header(std::uint8_t idLength, std::uint8_t imageType, std::uint16_t width, std::uint16_t height,
                   std::uint8_t bitsPerPixel, std::uint8_t descriptor = 0, std::uint16_t mapLength = 0,
                   std::uint8_t mapBits = 0) {
  const int bytes[18] = {idLength, mapLength > 0, imageType, 0, 0, mapLength & 0xFF, mapLength >> 8, mapBits, 0, 0, 0, 0,
                         width & 0xFF, width >> 8, height & 0xFF, height >> 8, bitsPerPixel, descriptor};
  return std::string(std::begin(bytes), std::end(bytes));
}

TEST(ImageTest, ReadsPixelsBottomRowFirstPastTheIdentificationAndColourMap) {
  std::string pixels = "abcdefghijklmnopqr";
  const struct {
    std::string bytes;
    int width, height, bitsPerPixel;
    std::string rows;  // as the texture takes them, bottom first
  } cases[] = {
      {header(12, 2, 3, 2, 24) + "made by hand" + pixels, 3, 2, 24, pixels},
      // Top-left origin: the rows are turned, each row's pixels kept in order.
      {header(0, 2, 1, 3, 32, 0x28) + "abcdefghijkl", 1, 3, 32, "ijklefghabcd"},
      // Two 15-bit entries take 2 bytes each; the pixels follow the identification and the map.
      {header(1, 2, 2, 1, 24, 0, 2, 15) + "#" + "MMMM" + pixels.substr(0, 6), 2, 1, 24, pixels.substr(0, 6)},
  };
  TempDir dir;
  for (const auto& c : cases) {
    Image image(dir.write("good.tga", c.bytes));
    EXPECT_EQ(std::tuple(image.width, image.height, image.bitsPerPixel, std::string(image.pixels.begin(), image.pixels.end())),
              std::tuple(c.width, c.height, c.bitsPerPixel, c.rows));
  }
}

TEST(ImageTest, MalformedAndTruncatedImagesAreRefusedWithTheirMessagesAndPlaces) {
  const struct {
    std::string bytes, message, place;  // "{path}" stands for the image's path
  } cases[] = {
      {header(0, 2, 1, 1, 24).substr(0, 17), "Unexpected end of file in {path} at byte 17", "{path}, byte 17"},
      {header(200, 2, 1, 1, 24) + "abc", "Image identification runs past the end of {path}", "{path}, byte 0: found \"200\""},
      // 64 MB promised by a 19-byte file: refused before anything is allocated.
      {header(0, 2, 4096, 4096, 32) + "x", "Image {path} holds fewer pixels than its 4096 x 4096 x 32-bit header declares",
       "{path}, byte 18: found \"1 bytes of 67108864\""},
      {header(0, 2, 1, 1, 24, 0, 3, 24) + "abcdefgh", "Colour map runs past the end of {path}", "{path}, byte 5: found \"9 bytes\""},
      // Larger than a texture can be: refused from the header, however large the file.
      {header(0, 2, 65535, 65535, 32), "Image {path} of 65535 x 65535 x 32-bit is larger than 16384 pixels on a side",
       "{path}, byte 12: found \"65535 x 65535\""},
      {header(0, 2, 1, 16385, 24), "Image {path} of 1 x 16385 x 24-bit is larger than 16384 pixels on a side", ""},
      // Depths no texture takes, refused before their pixels are read.
      {header(0, 2, 65535, 65535, 8), "Unrecognized Image", "{path}, byte 16: found \"8 bits per pixel\""},
      {header(0, 0, 1, 1, 24) + "abc", "TGA image type 0 is not uncompressed true colour (type 2): {path}",
       "{path}, byte 2: found \"0\""},
      {header(0, 10, 1, 1, 24) + "\x80" "abc", "TGA image type 10 is not uncompressed true colour (type 2): {path}", ""},
  };
  TempDir dir;
  for (const auto& c : cases) {
    std::string path = dir.write("bad.tga", c.bytes);
    EXPECT_EQ(messageOf([&] { Image image(path); }), dir.expand(c.message, path));
    EXPECT_EQ(c.place.empty() ? "" : testing::placeOf([&] { Image image(path); }), dir.expand(c.place, path));
  }
  // Every truncation of a good image is refused.
  const std::string whole = header(2, 2, 3, 2, 32) + "id" + std::string(24, '\x7F');
  EXPECT_EQ(Image(dir.write("cut.tga", whole)).pixels.size(), 24u);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    EXPECT_THROW(Image image(dir.write("cut.tga", std::string_view(whole).substr(0, size))), common::Error) << size;
  }
}

}  // namespace
}  // namespace tessarine::mesh
