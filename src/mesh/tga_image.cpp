// Every TGA image real content holds: colour-mapped, true colour and grey, raw or
// run-length coded, from either corner. The show's own reader (image.cpp) stays the strict
// one; this is the reader of other people's files.
#include <vector>

#include "common/byte_order.h"
#include "mesh/image_decoding.h"

namespace tessarine::mesh {
namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::uint8_t kMapped = 1;
constexpr std::uint8_t kTrueColour = 2;
constexpr std::uint8_t kGrey = 3;
// Added to the raw types for their run-length coded forms (9, 10, 11).
constexpr std::uint8_t kRunLength = 8;
constexpr std::uint8_t kTopOrigin = 0x20;
constexpr std::uint8_t kRightToLeft = 0x10;
constexpr std::uint8_t kAlphaBits = 0x0F;
constexpr std::uint8_t kRunPacket = 0x80;
constexpr unsigned kMaxPacketPixels = 128;

struct Header {
  std::uint8_t idLength, mapType, type;
  std::uint16_t mapFirst, mapLength;
  std::uint8_t mapBits;
  std::uint16_t width, height;
  std::uint8_t depth, descriptor;

  explicit Header(const unsigned char* p)
      : idLength(p[0]), mapType(p[1]), type(p[2]), mapFirst(common::loadU16LE(p + 3)),
        mapLength(common::loadU16LE(p + 5)), mapBits(p[7]), width(common::loadU16LE(p + 12)),
        height(common::loadU16LE(p + 14)), depth(p[16]), descriptor(p[17]) {}
  std::uint8_t rawType() const { return static_cast<std::uint8_t>(type & ~kRunLength); }
  bool knownType() const { return mapType <= 1 && rawType() >= kMapped && rawType() <= kGrey; }
};

struct Fault {
  std::string problem;  // empty when the decoder takes the header
  std::uint64_t offset = 0;
};

bool isMapEntry(unsigned bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }

// What is wrong with the header's layout, and where.
Fault layoutFault(const Header& h) {
  if (h.mapType > 1) return {"colour-map type " + std::to_string(h.mapType) + " is unknown", 1};
  if (!h.knownType()) return {"image type " + std::to_string(h.type) + " is unknown", 2};
  if (h.mapType == 1 && !isMapEntry(h.mapBits)) {
    return {std::to_string(h.mapBits) + "-bit colour-map entries are unknown", 7};
  }
  const std::string depth = std::to_string(h.depth);
  switch (h.rawType()) {
    case kMapped:
      if (h.mapType != 1 || h.mapLength == 0) return {"a colour-mapped image has no colour map", 1};
      if (h.depth != 8 && h.depth != 16) return {depth + "-bit colour indices are unknown", 16};
      return {};
    case kTrueColour:
      if (!isMapEntry(h.depth)) return {depth + "-bit true colour is unknown", 16};
      return {};
    default:
      if (h.depth != 8 && h.depth != 16) return {depth + "-bit grey is unknown", 16};
      return {};
  }
}

// A colour of `bits` bits as the file stores it, little-endian: 15 or 16 bits hold 5 bits a
// gun and an attribute bit, 24 and 32 B, G, R(, A); grey is one byte (and alpha after it).
Rgba colourAt(const unsigned char* p, unsigned bits, bool grey) {
  if (grey) return {p[0], p[0], p[0], bits == 16 ? p[1] : std::uint8_t{0xFF}};
  switch (bits) {
    case 15:
    case 16: {
      unsigned v = common::loadU16LE(p);
      return {widen((v >> 10) & 31, 5), widen((v >> 5) & 31, 5), widen(v & 31, 5),
              static_cast<std::uint8_t>(v & 0x8000 ? 0xFF : 0)};
    }
    case 24: return {p[2], p[1], p[0]};
    default: return {p[2], p[1], p[0], p[3]};
  }
}

class TgaDecoder {
 public:
  TgaDecoder(std::span<const std::byte> bytes, const std::string& name) : in_(bytes, name, "TGA") {}

  Image decode() {
    const Header h(in_.at(0, kHeaderSize, "header"));
    if (Fault fault = layoutFault(h); !fault.problem.empty()) in_.fail("header", fault.problem, fault.offset);
    pos_ = kHeaderSize;
    in_.at(pos_, h.idLength, "identification");
    pos_ += h.idLength;
    const bool mapped = h.rawType() == kMapped;
    const unsigned alphaBits = h.descriptor & kAlphaBits;
    const unsigned colourBits = mapped ? h.mapBits : h.depth;
    // A 16- or 32-bit colour's alpha counts only when the descriptor says the bits hold one.
    alpha_ = h.rawType() == kGrey ? h.depth == 16 : (colourBits == 16 || colourBits == 32) && alphaBits > 0;
    if (h.mapType == 1) readMap(h, mapped);

    pixelBytes_ = (h.depth + 7) / 8;
    const std::uint64_t pixels = std::uint64_t{h.width} * h.height;
    const std::uint64_t left = in_.size() - pos_;
    const bool runLength = (h.type & kRunLength) != 0;
    // Raw pixels must all be there; a packet of one header byte and one pixel holds at most 128.
    const std::uint64_t most = runLength ? left / (1 + pixelBytes_) * kMaxPacketPixels : left / pixelBytes_;
    if (pixels > most) {
      in_.fail("pixels",
               std::to_string(left) + " bytes cannot hold the " + std::to_string(h.width) + " x " +
                   std::to_string(h.height) + " pixels the header declares",
               pos_);
    }
    image_ = makeImage(in_, "header", 12, h.width, h.height, alpha_);
    top_ = (h.descriptor & kTopOrigin) != 0;
    rightToLeft_ = (h.descriptor & kRightToLeft) != 0;
    grey_ = h.rawType() == kGrey;
    if (runLength) {
      readPackets(pixels);
    } else {
      for (std::uint64_t i = 0; i < pixels; ++i) put(pixelAt(in_.at(pos_, pixelBytes_, "pixels")), 1);
    }
    return std::move(image_);
  }

 private:
  void readMap(const Header& h, bool used) {
    const unsigned entryBytes = (h.mapBits + 7) / 8;
    const unsigned char* p = in_.at(pos_, std::uint64_t{h.mapLength} * entryBytes, "colour map");
    pos_ += std::uint64_t{h.mapLength} * entryBytes;
    if (!used) return;  // a true-colour image may carry a map it does not use
    mapFirst_ = h.mapFirst;
    map_.reserve(h.mapLength);
    for (unsigned i = 0; i < h.mapLength; ++i) map_.push_back(colourAt(p + i * entryBytes, h.mapBits, false));
  }

  // Advances past the pixel's bytes, which the caller has checked are there.
  Rgba pixelAt(const unsigned char* p) {
    const std::uint64_t offset = pos_;
    pos_ += pixelBytes_;
    if (map_.empty()) return colourAt(p, pixelBytes_ * 8, grey_);
    unsigned index = pixelBytes_ == 1 ? p[0] : common::loadU16LE(p);
    if (index < mapFirst_ || index - mapFirst_ >= map_.size()) {
      in_.fail("pixels",
               "colour index " + std::to_string(index) + " lies outside the colour map (entries " +
                   std::to_string(mapFirst_) + " to " + std::to_string(mapFirst_ + map_.size() - 1) + ")",
               offset);
    }
    return map_[index - mapFirst_];
  }

  // Packets may run on from one row into the next, but never past the last pixel.
  void readPackets(std::uint64_t pixels) {
    for (std::uint64_t done = 0; done < pixels;) {
      const std::uint64_t at = pos_;
      const unsigned char packet = *in_.at(pos_++, 1, "run-length packet");
      const unsigned count = (packet & ~kRunPacket) + 1u;
      if (count > pixels - done) {
        in_.fail("run-length packet", "runs " + std::to_string(count - (pixels - done)) + " pixels past the image", at);
      }
      if (packet & kRunPacket) {
        put(pixelAt(in_.at(pos_, pixelBytes_, "run-length packet")), count);
      } else {
        in_.at(pos_, std::uint64_t{count} * pixelBytes_, "run-length packet");
        for (unsigned i = 0; i < count; ++i) put(pixelAt(in_.data() + pos_), 1);
      }
      done += count;
    }
  }

  // Stores the next `count` pixels in file order, rows turned to the file's corner.
  void put(Rgba colour, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
      const std::size_t y = top_ ? row_ : image_.height - 1u - row_;
      const std::size_t x = rightToLeft_ ? image_.width - 1u - column_ : column_;
      storePixel(rowFromTop(image_, y), x, alpha_, colour);
      if (++column_ == image_.width) {
        column_ = 0;
        ++row_;
      }
    }
  }

  ImageBytes in_;
  std::uint64_t pos_ = 0;
  std::vector<Rgba> map_;
  unsigned mapFirst_ = 0;
  unsigned pixelBytes_ = 0;
  bool alpha_ = false, grey_ = false, top_ = false, rightToLeft_ = false;
  Image image_;
  std::size_t row_ = 0, column_ = 0;
};

}  // namespace

bool looksLikeTga(std::span<const std::byte> bytes) {
  if (bytes.size() < kHeaderSize) return false;
  // The types alone decide: a file of a known type with a wrong layout is a TGA with a fault.
  return Header(reinterpret_cast<const unsigned char*>(bytes.data())).knownType();
}

Image decodeTga(std::span<const std::byte> bytes, const std::string& name) { return TgaDecoder(bytes, name).decode(); }

}  // namespace tessarine::mesh
