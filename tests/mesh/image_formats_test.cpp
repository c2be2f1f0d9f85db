// The reader of real content's images: each format's variants decoded to pixel values worked
// out by hand, the refusals of malformed files with the file and place they name, every
// truncation of a good file, and the sample images real objects name.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <tuple>

#include "common/data_file.h"
#include "common/error.h"
#include "formats/bmp_writer.h"
#include "formats/ilbm_writer.h"
#include "formats/lwo2_writer.h"
#include "formats/png_jpeg_writer.h"
#include "formats/tga_writer.h"
#include "mesh/image_formats.h"
#include "support/error_message.h"

namespace tessarine::mesh {
namespace {

using common::bytesOf;
using Bytes = std::vector<int>;
using formats::BmpImage;
using formats::IlbmImage;
using formats::TgaImage;

// Format, sides and pixel bytes (B, G, R(, A), bottom row first) of the image read.
std::tuple<std::string, int, int, Bytes> decoded(const std::string& bytes) {
  DecodedImage d = readImage(bytesOf(bytes), "t");
  return {formatName(d.format), d.image.width, d.image.height, Bytes(d.image.pixels.begin(), d.image.pixels.end())};
}

std::string u16(std::uint16_t v) { std::string s; formats::appendU16BE(s, v); return s; }
std::string u32(std::uint32_t v) { std::string s; formats::appendU32BE(s, v); return s; }
std::string bmhd(std::uint16_t w, std::uint16_t h, char planes, char compression) {
  const std::string position(4, '\0'), rest(9, '\0');
  return formats::chunk("BMHD", u16(w) + u16(h) + position + planes + '\0' + compression + rest);
}

// Colours with low nibbles set, so that no 4-bit colour map is widened.
const std::vector<std::array<std::uint8_t, 3>> kCmap = {{0x11, 0x22, 0x33}, {0x44, 0x55, 0x66}, {0x77, 0x88, 0x99},
                                                        {0xAA, 0xBB, 0xCC}};

TEST(ImageFormatsTest, TgaOfEveryTypeAndOrigin) {
  const std::tuple<TgaImage, int, int, Bytes> cases[] = {
      // Colour-mapped, run-length, first entry 2: a run of four crosses into the second row.
      {{.width = 3, .height = 2, .bitsPerPixel = 8, .pixels = {2, 2, 2, 2, 3, 3}, .imageType = 9,
        .colourMap = {3, 2, 1, 6, 5, 4}, .mapFirst = 2},
       3, 2, {3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1, 6, 5, 4, 6, 5, 4}},
      // 16-bit run-length, top origin, the attribute bit as alpha: A = red and blue, clear; B = green, set.
      {{.width = 2, .height = 2, .bitsPerPixel = 16, .pixels = {0x1F, 0x7C, 0xE0, 0x83, 0xE0, 0x83, 0xE0, 0x83},
        .imageType = 10, .descriptor = 0x21},
       2, 2, {0, 255, 0, 255, 0, 255, 0, 255, 255, 0, 255, 0, 0, 255, 0, 255}},
      {{.width = 1, .height = 1, .bitsPerPixel = 16, .pixels = {0x40, 0x80}, .imageType = 3},
       1, 1, {0x40, 0x40, 0x40, 0x80}},
      // Right to left; 32 bits whose descriptor declares no alpha are read as colour only.
      {{.width = 2, .height = 1, .bitsPerPixel = 32, .pixels = {1, 2, 3, 4, 5, 6, 7, 8}, .descriptor = 0x10},
       2, 1, {5, 6, 7, 1, 2, 3}},
      {{.width = 3, .height = 1, .bitsPerPixel = 8, .pixels = {9, 9, 7}, .imageType = 11},
       3, 1, {9, 9, 9, 9, 9, 9, 7, 7, 7}},
  };
  for (const auto& [image, w, h, pixels] : cases) {
    EXPECT_EQ(decoded(formats::writeTga(image, "id")), std::tuple("TGA", w, h, pixels));
  }
}

TEST(ImageFormatsTest, IlbmPlanesMasksAndPalettes) {
  std::vector<std::array<std::uint8_t, 3>> ehb(32, kCmap[0]);
  ehb[1] = kCmap[1];
  const std::tuple<IlbmImage, Bytes> cases[] = {
      {{.width = 3, .height = 2, .planes = 2, .values = {0, 1, 2, 3, 3, 1}, .palette = kCmap},
       {0xCC, 0xBB, 0xAA, 0xCC, 0xBB, 0xAA, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77}},
      {{.width = 3, .height = 2, .planes = 2, .values = {0, 1, 2, 3, 3, 1}, .palette = kCmap,
        .mask = {1, 0, 1, 1, 1, 0}, .byteRun1 = true},
       {0xCC, 0xBB, 0xAA, 255, 0xCC, 0xBB, 0xAA, 255, 0x66, 0x55, 0x44, 0, 0x33, 0x22, 0x11, 255, 0x66, 0x55, 0x44, 0,
        0x99, 0x88, 0x77, 255}},
      {{.width = 2, .height = 1, .planes = 2, .values = {1, 2}, .palette = kCmap, .transparentColour = 1},
       {0x66, 0x55, 0x44, 0, 0x99, 0x88, 0x77, 255}},
      // Extra-half-brite: colour 33 is colour 1 at half brightness.
      {{.width = 2, .height = 1, .planes = 6, .values = {33, 1}, .palette = ehb, .viewModes = 0x80},
       {0x33, 0x2A, 0x22, 0x66, 0x55, 0x44}},
      // HAM6: colour 1, then blue 15, red 8, green 3 (a 4-bit gun times 17).
      {{.width = 4, .height = 1, .planes = 6, .values = {0x01, 0x1F, 0x28, 0x33}, .palette = kCmap, .viewModes = 0x800},
       {0x66, 0x55, 0x44, 0xFF, 0x55, 0x44, 0xFF, 0x55, 0x88, 0xFF, 0x33, 0x88}},
      // HAM8: colour 2, then blue 63, red 1 (255 / 63 = 4), green 0.
      {{.width = 4, .height = 1, .planes = 8, .values = {0x02, 0x7F, 0x81, 0xC0}, .palette = kCmap, .viewModes = 0x800},
       {0x99, 0x88, 0x77, 0xFF, 0x88, 0x77, 0xFF, 0x88, 4, 0xFF, 0, 4}},
      {{.width = 1, .height = 1, .planes = 24, .values = {0x112233}, .byteRun1 = true}, {0x11, 0x22, 0x33}},
      {{.width = 1, .height = 1, .planes = 32, .values = {0x80112233}}, {0x11, 0x22, 0x33, 0x80}},
      {{.width = 3, .height = 1, .planes = 8, .values = {3, 0, 2}, .palette = kCmap, .byteRun1 = true, .chunky = true},
       {0xCC, 0xBB, 0xAA, 0x33, 0x22, 0x11, 0x99, 0x88, 0x77}},
      // A 4-bit colour map is widened; without one, the planes are shades of grey.
      {{.width = 2, .height = 1, .planes = 1, .values = {0, 1}, .palette = {{0xF0, 0x80, 0x00}, {0x10, 0x20, 0x30}}},
       {0x00, 0x88, 0xFF, 0x33, 0x22, 0x11}},
      {{.width = 2, .height = 1, .planes = 1, .values = {0, 1}}, {0, 0, 0, 255, 255, 255}},
  };
  for (const auto& [image, pixels] : cases) {
    EXPECT_EQ(decoded(formats::writeIlbm(image)), std::tuple("ILBM", image.width, image.height, pixels));
  }
  // Odd chunks (an unknown one, a 3-colour CMAP, the BODY) are passed by with their pad bytes;
  // after a no-op code, one run of 0xFF fills both rows of 8 x 2 pixels with colour 1.
  const std::string odd =
      formats::form("ILBM", bmhd(8, 2, 1, 1) + formats::chunk("ANNO", "odd") + '\0' +
                                formats::chunk("CMAP", "\x01\x02\x03\x04\x05\x06\x07\x08\x09") + '\0' +
                                formats::chunk("BODY", "\x80\xFD\xFF") + '\0');
  Bytes colourOne;
  for (int i = 0; i < 16; ++i) colourOne.insert(colourOne.end(), {6, 5, 4});
  EXPECT_EQ(decoded(odd), std::tuple("ILBM", 8, 2, colourOne));
}

TEST(ImageFormatsTest, BmpDepthsHeadersAndRunLengths) {
  const std::vector<std::array<std::uint8_t, 3>> palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  const std::tuple<BmpImage, Bytes> cases[] = {
      {{.width = 3, .height = 2, .bitsPerPixel = 1, .palette = {palette[0], palette[1]}, .pixels = {0xA0, 0x60}},
       {60, 50, 40, 30, 20, 10, 60, 50, 40, 30, 20, 10, 60, 50, 40, 60, 50, 40}},
      {{.width = 3, .height = 1, .bitsPerPixel = 4, .headerSize = 12, .palette = palette, .pixels = {0x20, 0x10}},
       {90, 80, 70, 30, 20, 10, 60, 50, 40}},
      // RLE8: a run of two and an end of line (the third pixel stays black), three literals, the end.
      {{.width = 3, .height = 2, .bitsPerPixel = 8, .compression = 1, .palette = palette,
        .pixels = {2, 1, 0, 0, 0, 3, 2, 1, 0, 0, 0, 1}},
       {60, 50, 40, 60, 50, 40, 0, 0, 0, 90, 80, 70, 60, 50, 40, 30, 20, 10}},
      // RLE4: a run of nibbles 1, 2; a skip of one pixel; a run of 2; four literal nibbles.
      {{.width = 4, .height = 2, .bitsPerPixel = 4, .compression = 2, .palette = palette,
        .pixels = {2, 0x12, 0, 2, 1, 0, 1, 0x20, 0, 0, 0, 4, 0x01, 0x20, 0, 1}},
       {60, 50, 40, 90, 80, 70, 0, 0, 0, 90, 80, 70, 30, 20, 10, 60, 50, 40, 90, 80, 70, 30, 20, 10}},
      {{.width = 1, .height = 1, .bitsPerPixel = 16, .pixels = {0x1F, 0x7C}}, {255, 0, 255}},
      // 5-6-5 masks after a 40-byte header: green 32 of 63.
      {{.width = 1, .height = 1, .bitsPerPixel = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F},
        .pixels = {0x00, 0x04}},
       {0, 129, 0}},
      {{.width = 1, .height = -2, .bitsPerPixel = 32, .headerSize = 124, .compression = 3,
        .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, .pixels = {1, 2, 3, 4, 5, 6, 7, 8}},
       {5, 6, 7, 8, 1, 2, 3, 4}},
      {{.width = 1, .height = 2, .pixels = {1, 2, 3, 4, 5, 6}}, {1, 2, 3, 4, 5, 6}},
  };
  for (const auto& [image, pixels] : cases) {
    EXPECT_EQ(decoded(formats::writeBmp(image)), std::tuple("BMP", image.width, std::abs(image.height), pixels));
  }
}

TEST(ImageFormatsTest, PngOfEveryLayoutAndJpegWithinTolerance) {
  using formats::PngLayout;
  const std::tuple<std::string, int, int, Bytes> pngs[] = {
      {formats::writePng(1, 2, PngLayout::kGrey, {0x10, 0xF0}), 1, 2, {0xF0, 0xF0, 0xF0, 0x10, 0x10, 0x10}},
      {formats::writePng(1, 1, PngLayout::kGreyAlpha, {0x20, 0x80}), 1, 1, {0x20, 0x20, 0x20, 0x80}},
      {formats::writePng(1, 1, PngLayout::kRgb, {1, 2, 3}), 1, 1, {3, 2, 1}},
      {formats::writePng(1, 1, PngLayout::kRgba, {1, 2, 3, 4}), 1, 1, {3, 2, 1, 4}},
      {formats::writePng(2, 1, PngLayout::kPalette, {1, 0}, {1, 2, 3, 255, 4, 5, 6, 0}),
       2, 1, {6, 5, 4, 0, 3, 2, 1, 255}},
  };
  for (const auto& [bytes, w, h, pixels] : pngs) EXPECT_EQ(decoded(bytes), std::tuple("PNG", w, h, pixels));

  // 8 x 16: the top block red-orange, the bottom one blue; the bottom row comes first.
  std::vector<std::uint8_t> rgb;
  for (int i = 0; i < 8 * 16; ++i) {
    rgb.insert(rgb.end(), {std::uint8_t(i < 64 ? 200 : 20), 100, std::uint8_t(i < 64 ? 50 : 220)});
  }
  const auto [format, w, h, pixels] = decoded(formats::writeJpeg(8, 16, rgb));
  ASSERT_EQ(std::tuple(format, w, h, pixels.size()), std::tuple("JPEG", 8, 16, std::size_t{8 * 16 * 3}));
  const int bottom[] = {220, 100, 20}, top[] = {50, 100, 200};
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const int* expected = i < pixels.size() / 2 ? bottom : top;
    EXPECT_NEAR(pixels[i], expected[i % 3], 3) << i;
  }
  EXPECT_NEAR(std::get<3>(decoded(formats::writeJpeg(8, 8, std::vector<std::uint8_t>(64, 77), true)))[0], 77, 2);
}

TEST(ImageFormatsTest, MalformedImagesAreRefusedNamingFileAndPlace) {
  auto patched = [](std::string bytes, std::size_t at, const std::string& with) {
    return bytes.replace(at, with.size(), with);
  };
  const std::string rle = formats::writeTga({.width = 1, .height = 1, .pixels = {1, 2, 3}, .imageType = 10});
  const std::string ilbm =
      formats::writeIlbm({.width = 1, .height = 1, .planes = 2, .values = {3}, .palette = {kCmap[0], kCmap[1]}});
  const std::string bmp = formats::writeBmp({.width = 2, .height = 2, .pixels = std::vector<std::uint8_t>(12, 9)});
  std::string png = formats::writePng(1, 1, formats::PngLayout::kRgb, {1, 2, 3});
  png = patched(png, 16, u32(16384) + u32(4096));  // and the header chunk's CRC to match
  const auto crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
  png = patched(png, 29, u32(static_cast<std::uint32_t>(crc)));
  const std::string jpeg = formats::writeJpeg(8, 8, std::vector<std::uint8_t>(192, 40));
  const struct {
    std::string bytes, message, place;  // the message's beginning, the place whole
  } cases[] = {
      {patched(rle, 12, std::string("\0\x40\0\x40", 4)),
       "t: TGA pixels: 4 bytes cannot hold the 16384 x 16384 pixels the header declares", "t, byte 18"},
      {patched(rle, 18, "\x81"), "t: TGA run-length packet: runs 1 pixels past the image", "t, byte 18"},
      {formats::writeTga({.width = 1, .height = 1, .bitsPerPixel = 8, .pixels = {5}, .imageType = 1,
                          .colourMap = {1, 2, 3}, .mapFirst = 2}),
       "t: TGA pixels: colour index 5 lies outside the colour map (entries 2 to 2)", "t, byte 21"},
      {patched(rle, 16, "\x14"), "t: TGA header: 20-bit true colour is unknown", "t, byte 16"},
      {"GIF89a, say", "t: not an image of a known format (TGA, ILBM, BMP, PNG or JPEG)", "t, byte 0"},
      {patched(rle, 2, std::string(1, '\0')), "t: not an image of a known format", "t, byte 0"},
      {ilbm.substr(0, ilbm.size() - 1), "t: ILBM FORM: its length of", "t, byte 4"},
      {formats::form("ILBM", bmhd(16, 1, 1, 0) + "BODY" + u32(100) + "ab"),
       "t: ILBM FORM: chunk BODY of 100 bytes runs past the end of the FORM (2 bytes left)", "t, byte 44"},
      {formats::form("ILBM", bmhd(16, 2, 1, 1) + formats::chunk("BODY", std::string("\x01\xFF\xFF\x00", 4))),
       "t: ILBM BODY: row 1 runs past the chunk", "t, byte 52"},
      {formats::form("ILBM", bmhd(16384, 16384, 8, 0) + formats::chunk("BODY", "abcd")),
       "t: ILBM BODY: the chunk's 4 bytes cannot hold 16384 x 16384 pixels in 8 planes", "t, byte 48"},
      {formats::form("ILBM", formats::chunk("BODY", "ab")), "t: ILBM BMHD: the FORM has no BMHD chunk", "t, byte 0"},
      {formats::form("ILBM", bmhd(1, 1, 1, 0)), "t: ILBM BODY: the FORM has no BODY chunk", "t, byte 0"},
      {ilbm, "t: ILBM BODY: row 0, column 0 uses colour 3 of a 2-colour CMAP", "t, byte 48"},
      {bmp.substr(0, bmp.size() - 3), "t: BMP pixels: 13 bytes cannot hold the 2 x 2 pixels the header declares",
       "t, byte 54"},
      {formats::writeBmp(
           {.width = 1, .height = 1, .bitsPerPixel = 8, .palette = {{1, 2, 3}, {4, 5, 6}}, .pixels = {5}}),
       "t: BMP pixels: row 0, column 0 uses colour 5 of a 2-colour palette", "t, byte 54"},
      {formats::writeBmp({.width = 2, .height = 1, .bitsPerPixel = 8, .compression = 1, .palette = {{1, 2, 3}},
                          .pixels = {3, 0, 0, 1}}),
       "t: BMP pixels: a run of 3 at row 0, column 0 lies outside the image", "t, byte 58"},
      {patched(bmp, 14, "\x14"), "t: BMP header: a header of 20 bytes is unknown", "t, byte 14"},
      {patched(bmp, 22, std::string(4, '\0')), "t: BMP header: a height of 0 is no image", "t, byte 22"},
      {png, "t: PNG header: a file of", "t, byte 16"},
      {formats::writePng(4, 4, formats::PngLayout::kRgb, std::vector<std::uint8_t>(48, 1)).substr(0, 50),
       "t: PNG ", "t"},
      {jpeg.substr(0, jpeg.size() / 2), "t: JPEG ", "t"},
  };
  for (const auto& c : cases) {
    const std::string message = testing::messageOf([&] { readImage(bytesOf(c.bytes), "t"); });
    EXPECT_EQ(message.substr(0, c.message.size()), c.message) << message;
    EXPECT_EQ(testing::placeOf([&] { readImage(bytesOf(c.bytes), "t"); }), c.place) << message;
  }
  // Every truncation of a good file of each format is refused; a PNG's end chunk, which
  // follows every pixel, may be missing.
  const std::pair<std::string, std::size_t> goods[] = {
      {formats::writeTga({.width = 3, .height = 2, .bitsPerPixel = 8, .pixels = {2, 2, 2, 2, 3, 3}, .imageType = 9,
                          .colourMap = {3, 2, 1, 6, 5, 4}, .mapFirst = 2}), 0},
      {formats::writeIlbm({.width = 3, .height = 2, .planes = 2, .values = {0, 1, 2, 3, 3, 1}, .palette = kCmap,
                           .mask = {1, 0, 1, 1, 1, 0}, .byteRun1 = true}), 0},
      {formats::writeBmp({.width = 3, .height = 2, .bitsPerPixel = 8, .compression = 1, .palette = kCmap,
                          .pixels = {2, 1, 0, 0, 0, 3, 2, 1, 0, 0, 0, 1}}), 0},
      {formats::writePng(3, 3, formats::PngLayout::kRgb, std::vector<std::uint8_t>(27, 5)), 12},
      {jpeg, 0}};
  for (const auto& [good, mayLack] : goods) {
    ASSERT_NO_THROW(readImage(bytesOf(good), "good"));
    for (std::size_t size = 0; size < good.size() - mayLack; ++size) {
      EXPECT_THROW(readImage(bytesOf(std::string_view(good).substr(0, size)), "cut"), common::Error) << size;
    }
  }
}

// The images that real objects name, read where they lie.
TEST(ImageFormatsTest, SampleImagesOfRealContentAllDecode) {
  const std::filesystem::path folder = TESSARINE_SAMPLES "/images";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no sample images at " << folder;
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const DecodedImage d = readImageFile(entry.path().string());
    EXPECT_TRUE(d.image.width > 0 && d.image.height > 0) << entry.path();
    ++count;
  }
  EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace tessarine::mesh
