// Windows and OS/2 BMP images: palettes of 1, 4 and 8 bits (raw or run-length coded), 16,
// 24 and 32 bits with or without bit-field masks, rows bottom-up or top-down.
#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "common/byte_order.h"
#include "mesh/image_decoding.h"

namespace tessarine::mesh {
namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // OS/2: 16-bit sides, 3-byte palette entries
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMasksInHeaderSize = 52;  // the larger headers hold the masks themselves
constexpr std::uint32_t kAlphaInHeaderSize = 56;
constexpr std::uint32_t kLargestHeaderSize = 124;
enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };
// A two-byte run codes at most 255 pixels; a run-length image needs at least this many bytes.
constexpr std::uint64_t kMaxRunPixels = 255;

std::uint32_t loadU32LE(const unsigned char* p) {
  return common::loadU16LE(p) | std::uint32_t{common::loadU16LE(p + 2)} << 16;
}

// One colour channel of a packed pixel, found by its mask.
struct Channel {
  std::uint32_t mask = 0;
  unsigned shift = 0, bits = 0;

  Channel() = default;
  explicit Channel(std::uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = static_cast<unsigned>(std::countr_zero(m));
    bits = static_cast<unsigned>(std::bit_width(m >> shift));
  }
  std::uint8_t of(std::uint32_t pixel) const { return widen((pixel & mask) >> shift, bits); }
};

class BmpDecoder {
 public:
  BmpDecoder(std::span<const std::byte> bytes, const std::string& name) : in_(bytes, name, "BMP") {}

  Image decode() {
    const std::uint32_t dataOffset = loadU32LE(in_.at(10, 4, "file header"));
    const std::uint32_t headerSize = loadU32LE(in_.at(kFileHeaderSize, 4, "header"));
    if (headerSize != kCoreHeaderSize && (headerSize < kInfoHeaderSize || headerSize > kLargestHeaderSize)) {
      in_.fail("header", "a header of " + std::to_string(headerSize) + " bytes is unknown", kFileHeaderSize);
    }
    const unsigned char* h = in_.at(kFileHeaderSize, headerSize, "header");
    const std::uint64_t afterHeader = kFileHeaderSize + headerSize;  // masks or palette
    std::int64_t height = 0;
    std::uint32_t compression = kRgb, coloursUsed = 0;
    unsigned entrySize = 4;
    if (headerSize == kCoreHeaderSize) {
      width_ = common::loadU16LE(h + 4);
      height = common::loadU16LE(h + 6);
      bits_ = common::loadU16LE(h + 10);
      entrySize = 3;
    } else {
      width_ = static_cast<std::int32_t>(loadU32LE(h + 4));
      height = static_cast<std::int32_t>(loadU32LE(h + 8));
      bits_ = common::loadU16LE(h + 14);
      compression = loadU32LE(h + 16);
      coloursUsed = loadU32LE(h + 32);
    }
    const bool topDown = height < 0;
    height_ = topDown ? -height : height;
    checkLayout(compression, topDown);
    if (width_ <= 0) in_.fail("header", "a width of " + std::to_string(width_) + " is no image", kFileHeaderSize + 4);

    if (compression == kBitFields || compression == kAlphaBitFields) {
      // The 40-byte header is followed by the masks; the larger ones hold them.
      const bool inHeader = headerSize >= kMasksInHeaderSize;
      const unsigned count = compression == kAlphaBitFields || headerSize >= kAlphaInHeaderSize ? 4 : 3;
      const unsigned char* m = inHeader ? h + kInfoHeaderSize : in_.at(afterHeader, count * 4, "bit-field masks");
      for (unsigned i = 0; i < count; ++i) channels_[i] = Channel(loadU32LE(m + i * 4));
    } else if (bits_ == 16) {
      channels_ = {Channel(0x7C00), Channel(0x03E0), Channel(0x001F), Channel()};
    } else if (bits_ == 32) {
      channels_ = {Channel(0xFF0000), Channel(0xFF00), Channel(0xFF), Channel()};
    }
    if (bits_ <= 8) readPalette(afterHeader, entrySize, coloursUsed, dataOffset);

    if (dataOffset > in_.size()) in_.fail("file header", "the pixels' offset lies past the end of the file", 10);
    const std::uint64_t left = in_.size() - dataOffset;
    const std::uint64_t width = static_cast<std::uint64_t>(width_), rows = static_cast<std::uint64_t>(height_);
    checkSides(in_, "header", kFileHeaderSize + 4, width, rows);
    const std::uint64_t stride = (width * bits_ + 31) / 32 * 4;
    const bool runLength = compression == kRle8 || compression == kRle4;
    // The last row's padding is often left out; the pixels themselves must be there.
    const std::uint64_t needed = runLength ? 0 : stride * (rows - 1) + (width * bits_ + 7) / 8;
    if ((runLength && width * rows > left / 2 * kMaxRunPixels) || needed > left) {
      in_.fail("pixels",
               std::to_string(left) + " bytes cannot hold the " + std::to_string(width) + " x " + std::to_string(rows) +
                   " pixels the header declares",
               dataOffset);
    }
    image_ = makeImage(in_, "header", kFileHeaderSize + 4, width, rows, channels_[3].bits > 0);
    if (runLength) {
      readRuns(dataOffset, compression == kRle4);
    } else {
      for (std::uint64_t r = 0; r < rows; ++r) {
        readRow(in_.data() + dataOffset + r * stride, topDown ? r : rows - 1 - r);
      }
    }
    return std::move(image_);
  }

 private:
  void checkLayout(std::uint32_t compression, bool topDown) {
    const std::uint64_t at = kFileHeaderSize + 14;
    if (bits_ != 1 && bits_ != 4 && bits_ != 8 && bits_ != 16 && bits_ != 24 && bits_ != 32) {
      in_.fail("header", std::to_string(bits_) + " bits per pixel are unknown", at);
    }
    const bool fits = compression == kRgb || (compression == kRle8 && bits_ == 8 && !topDown) ||
                      (compression == kRle4 && bits_ == 4 && !topDown) ||
                      ((compression == kBitFields || compression == kAlphaBitFields) && (bits_ == 16 || bits_ == 32));
    if (!fits) {
      in_.fail("header",
               "compression " + std::to_string(compression) + " with " + std::to_string(bits_) + " bits" +
                   (topDown ? " top-down" : "") + " is unknown",
               at + 2);
    }
    if (height_ == 0) in_.fail("header", "a height of 0 is no image", kFileHeaderSize + 8);
  }

  // Entries past what the pixels' bits can index are never reached; without a count, the
  // palette fills the room before the pixels, as OS/2 files and some writers leave it.
  void readPalette(std::uint64_t offset, unsigned entrySize, std::uint32_t used, std::uint64_t dataOffset) {
    std::uint64_t count = std::uint64_t{1} << bits_;
    if (used != 0) {
      count = std::min<std::uint64_t>(count, used);
    } else if (dataOffset > offset) {
      count = std::min<std::uint64_t>(count, (dataOffset - offset) / entrySize);
    }
    const unsigned char* p = in_.at(offset, count * entrySize, "palette");
    for (std::uint64_t i = 0; i < count; ++i, p += entrySize) palette_.push_back({p[2], p[1], p[0]});
    paletteOffset_ = offset;
  }

  Rgba indexed(std::uint32_t index, std::uint64_t y, std::uint64_t x) const {
    if (index >= palette_.size()) {
      in_.fail("pixels",
               "row " + std::to_string(y) + ", column " + std::to_string(x) + " uses colour " + std::to_string(index) +
                   " of a " + std::to_string(palette_.size()) + "-colour palette",
               paletteOffset_);
    }
    return palette_[index];
  }

  void readRow(const unsigned char* p, std::uint64_t y) {
    unsigned char* out = rowFromTop(image_, static_cast<std::size_t>(y));
    const bool alpha = image_.bitsPerPixel == 32;
    for (std::uint64_t x = 0; x < image_.width; ++x) {
      Rgba c;
      switch (bits_) {
        case 24: c = {p[x * 3 + 2], p[x * 3 + 1], p[x * 3]}; break;
        case 16:
        case 32: {
          const std::uint32_t v = bits_ == 16 ? common::loadU16LE(p + x * 2) : loadU32LE(p + x * 4);
          c = {channels_[0].of(v), channels_[1].of(v), channels_[2].of(v), channels_[3].of(v)};
          break;
        }
        default: {
          const std::uint64_t bit = x * bits_;
          const unsigned index = (p[bit / 8] >> (8 - bits_ - bit % 8)) & ((1u << bits_) - 1);
          c = indexed(index, y, x);
        }
      }
      storePixel(out, static_cast<std::size_t>(x), alpha, c);
    }
  }

  // Run-length rows go bottom-up; pixels that a skip or an early end passes over stay black.
  void readRuns(std::uint64_t pos, bool nibbles) {
    std::uint64_t x = 0, y = 0;  // y counts from the bottom
    const std::uint64_t width = image_.width, height = image_.height;
    auto place = [&](std::uint64_t count, std::uint64_t at) {
      if (y >= height || x > width || count > width - x) {
        in_.fail("pixels",
                 "a run of " + std::to_string(count) + " at row " + std::to_string(y) + ", column " +
                     std::to_string(x) + " lies outside the image",
                 at);
      }
    };
    auto put = [&](unsigned index) {
      storePixel(rowFromTop(image_, static_cast<std::size_t>(height - 1 - y)), static_cast<std::size_t>(x), false,
                 indexed(index, height - 1 - y, x));
      ++x;
    };
    for (;;) {
      const std::uint64_t at = pos;
      const unsigned char* code = in_.at(pos, 2, "run-length data");
      pos += 2;
      if (code[0] > 0) {  // a run of one index, or of two alternating nibbles
        place(code[0], at);
        for (unsigned i = 0; i < code[0]; ++i) put(nibbles ? (i % 2 == 0 ? code[1] >> 4 : code[1] & 0x0F) : code[1]);
      } else if (code[1] == 0) {
        x = 0, ++y;
      } else if (code[1] == 1) {
        return;
      } else if (code[1] == 2) {
        const unsigned char* delta = in_.at(pos, 2, "run-length data");
        pos += 2;
        x += delta[0], y += delta[1];
      } else {  // literal indices, padded to an even number of bytes
        const unsigned count = code[1];
        const std::uint64_t size = nibbles ? (count + 1) / 2 : count;
        const unsigned char* p = in_.at(pos, size + size % 2, "run-length data");
        pos += size + size % 2;
        place(count, at);
        for (unsigned i = 0; i < count; ++i) put(nibbles ? (i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 0x0F) : p[i]);
      }
    }
  }

  ImageBytes in_;
  std::int64_t width_ = 0, height_ = 0;
  unsigned bits_ = 0;
  std::array<Channel, 4> channels_{};  // red, green, blue, alpha
  std::vector<Rgba> palette_;
  std::uint64_t paletteOffset_ = 0;
  Image image_;
};

}  // namespace

Image decodeBmp(std::span<const std::byte> bytes, const std::string& name) { return BmpDecoder(bytes, name).decode(); }

}  // namespace tessarine::mesh
