// IFF ILBM images as paint programs wrote them: bit planes (1 to 8, 24 or 32), raw or
// ByteRun1 packed, with a mask plane or a transparent colour, extra-half-brite and
// hold-and-modify palettes, and the chunky PBM variant.
#include <algorithm>
#include <cstring>
#include <vector>

#include "common/byte_order.h"
#include "mesh/iff_form.h"
#include "mesh/image_decoding.h"

namespace tessarine::mesh {
namespace {

constexpr std::uint32_t kBmhdSize = 20;
constexpr std::size_t kMaxColours = 256;
constexpr std::size_t kRgbSize = 3;
constexpr std::uint32_t kExtraHalfBrite = 0x80;
constexpr std::uint32_t kHoldAndModify = 0x800;
constexpr unsigned kEhbBasePlanes = 5;
constexpr std::uint8_t kMaskPlane = 1, kTransparentColour = 2;  // 0: no masking
constexpr std::uint8_t kUncompressed = 0, kByteRun1 = 1;
constexpr unsigned kDeepPlanes = 24, kDeepAlphaPlanes = 32;
constexpr unsigned kMaxIndexedPlanes = 8;
// A two-byte ByteRun1 packet repeats its byte at most 128 times.
constexpr std::uint64_t kMaxByteRun1Expansion = 64;
constexpr std::uint8_t kNibbleMask = 0x0F;

struct Bmhd {
  std::uint16_t width, height;
  std::uint8_t planes, masking, compression;
  std::uint16_t transparentColour;
};

// ByteRun1, read as one stream over the whole BODY: a packet may end in the next row, which
// some writers do, so its state is kept between rows.
class ByteRun1 {
 public:
  ByteRun1(const unsigned char* data, std::uint64_t size) : data_(data), size_(size) {}

  // Fills `out` with the next `count` bytes; false when the data ends first.
  bool fill(unsigned char* out, std::uint64_t count) {
    while (count > 0) {
      if (literal_ > 0) {
        std::uint64_t n = std::min(literal_, count);
        if (n > size_ - pos_) return false;
        std::memcpy(out, data_ + pos_, n);
        pos_ += n, out += n, count -= n, literal_ -= n;
      } else if (repeat_ > 0) {
        std::uint64_t n = std::min(repeat_, count);
        std::memset(out, value_, n);
        out += n, count -= n, repeat_ -= n;
      } else {
        if (pos_ == size_) return false;
        const auto code = static_cast<std::int8_t>(data_[pos_++]);
        if (code >= 0) {
          literal_ = std::uint64_t(code) + 1;
        } else if (code != -128) {  // -128 is no packet at all
          if (pos_ == size_) return false;
          value_ = data_[pos_++];
          repeat_ = std::uint64_t(1 - code);
        }
      }
    }
    return true;
  }
  std::uint64_t position() const { return pos_; }

 private:
  const unsigned char* data_;
  std::uint64_t size_, pos_ = 0, literal_ = 0, repeat_ = 0;
  unsigned char value_ = 0;
};

class IlbmDecoder {
 public:
  IlbmDecoder(std::span<const std::byte> bytes, const std::string& name) : bytes_(bytes), in_(bytes, name, "ILBM") {}

  Image decode() {
    readChunks();
    layOut();
    image_ = makeImage(in_, "BMHD", bmhdOffset_, bmhd_.width, bmhd_.height, alpha_);
    std::vector<unsigned char> row(rowBytes_ * rowPlanes_);
    std::vector<std::uint32_t> values(bmhd_.width);
    std::vector<bool> opaque(bmhd_.width, true);
    ByteRun1 packed(in_.data() + body_.offset, body_.length);
    for (std::size_t y = 0; y < bmhd_.height; ++y) {
      if (bmhd_.compression == kUncompressed) {
        std::memcpy(row.data(), in_.data() + body_.offset + y * row.size(), row.size());
      } else if (!packed.fill(row.data(), row.size())) {
        in_.fail("BODY", "row " + std::to_string(y) + " runs past the chunk", body_.offset + packed.position());
      }
      gatherRow(row, values, opaque);
      colourRow(y, values, opaque);
    }
    return std::move(image_);
  }

 private:
  void readChunks() {
    IffForm form(bytes_, in_.name());
    chunky_ = form.type() == "PBM ";
    while (std::optional<IffChunk> chunk = form.next()) {
      const unsigned char* body = in_.data() + chunk->offset;
      if (chunk->id == "BMHD") {
        if (chunk->length < kBmhdSize) {
          in_.fail("BMHD", "the chunk holds " + std::to_string(chunk->length) + " of its 20 bytes", chunk->offset);
        }
        bmhd_ = {common::loadU16BE(body),     common::loadU16BE(body + 2), body[8], body[9], body[10],
                 common::loadU16BE(body + 12)};
        bmhdOffset_ = chunk->offset;
      } else if (chunk->id == "CMAP") {
        const std::size_t count = std::min<std::size_t>(chunk->length / kRgbSize, kMaxColours);
        palette_.clear();
        for (std::size_t i = 0; i < count; ++i) {
          const unsigned char* c = body + i * kRgbSize;
          palette_.push_back({c[0], c[1], c[2]});
        }
        cmapOffset_ = chunk->offset;
      } else if (chunk->id == "CAMG" && chunk->length >= 4) {
        viewModes_ = common::loadU32BE(body);
      } else if (chunk->id == "BODY") {
        body_ = *chunk;
        hasBody_ = true;
      }
    }
    if (bmhdOffset_ == 0) in_.fail("BMHD", "the FORM has no BMHD chunk", 0);
    if (!hasBody_) in_.fail("BODY", "the FORM has no BODY chunk", 0);
  }

  // Checks the planes, masking and compression, sets the row layout and the palette, and
  // refuses a BODY too short for the pixels the header declares before any is decoded.
  void layOut() {
    const unsigned planes = bmhd_.planes;
    const std::string planesText = std::to_string(planes) + " planes";
    ham_ = !chunky_ && (viewModes_ & kHoldAndModify) != 0;
    if (chunky_
            ? planes != kMaxIndexedPlanes
            : (planes == 0 || (planes > kMaxIndexedPlanes && planes != kDeepPlanes && planes != kDeepAlphaPlanes))) {
      in_.fail("BMHD", planesText + " are unknown" + (chunky_ ? " in a PBM" : ""), bmhdOffset_ + 8);
    }
    if (ham_ && planes != 6 && planes != 8)
      in_.fail("BMHD", "hold-and-modify with " + planesText + " is unknown", bmhdOffset_ + 8);
    if (bmhd_.masking == kMaskPlane && chunky_) in_.fail("BMHD", "a PBM has no mask plane", bmhdOffset_ + 9);
    if (bmhd_.compression != kUncompressed && bmhd_.compression != kByteRun1) {
      in_.fail("BMHD", "compression " + std::to_string(bmhd_.compression) + " is unknown", bmhdOffset_ + 10);
    }
    const bool indexed = planes <= kMaxIndexedPlanes && !ham_;
    alpha_ =
        bmhd_.masking == kMaskPlane || (bmhd_.masking == kTransparentColour && indexed) || planes == kDeepAlphaPlanes;
    rowBytes_ = chunky_ ? bmhd_.width + (bmhd_.width & 1u) : (bmhd_.width + 15u) / 16u * 2u;
    rowPlanes_ = chunky_ ? 1 : planes + (bmhd_.masking == kMaskPlane ? 1 : 0);

    const std::uint64_t needed = std::uint64_t{rowBytes_} * rowPlanes_ * bmhd_.height;
    const std::uint64_t most = bmhd_.compression == kUncompressed ? body_.length : body_.length * kMaxByteRun1Expansion;
    if (needed > most) {
      in_.fail("BODY",
               "the chunk's " + std::to_string(body_.length) + " bytes cannot hold " + std::to_string(bmhd_.width) +
                   " x " + std::to_string(bmhd_.height) + " pixels in " + planesText,
               body_.offset);
    }
    if (planes <= kMaxIndexedPlanes) preparePalette(planes);
  }

  void preparePalette(unsigned planes) {
    // Older files hold 4 bits a gun in the high nibble; widened, their white is white.
    if (std::all_of(palette_.begin(), palette_.end(), [](Rgba c) { return ((c.r | c.g | c.b) & kNibbleMask) == 0; })) {
      for (Rgba& c : palette_) c = {widen(c.r >> 4, 4), widen(c.g >> 4, 4), widen(c.b >> 4, 4)};
    }
    if (palette_.empty()) {
      if (ham_) in_.fail("CMAP", "a hold-and-modify image has no CMAP", bmhdOffset_);
      for (unsigned i = 0; i < (1u << planes); ++i) {  // no palette: shades of grey
        auto v = static_cast<std::uint8_t>(i * 255 / ((1u << planes) - 1));
        palette_.push_back({v, v, v});
      }
    }
    // Extra-half-brite: the upper 32 colours are the lower 32 at half brightness.
    if (!ham_ && planes == kEhbBasePlanes + 1 && (viewModes_ & kExtraHalfBrite) != 0) {
      constexpr std::size_t kBase = std::size_t{1} << kEhbBasePlanes;
      if (palette_.size() < kBase) {
        in_.fail("CMAP",
                 "an extra-half-brite image needs 32 colours, the CMAP holds " + std::to_string(palette_.size()),
                 cmapOffset_);
      }
      palette_.resize(2 * kBase);
      for (std::size_t i = 0; i < kBase; ++i) {
        const Rgba c = palette_[i];
        palette_[kBase + i] = {std::uint8_t(c.r >> 1), std::uint8_t(c.g >> 1), std::uint8_t(c.b >> 1)};
      }
    }
  }

  // Each pixel's value gathers bit x of every plane, plane 0 the lowest bit.
  void gatherRow(const std::vector<unsigned char>& row, std::vector<std::uint32_t>& values, std::vector<bool>& opaque) {
    if (chunky_) {
      std::copy_n(row.begin(), values.size(), values.begin());
      return;
    }
    std::fill(values.begin(), values.end(), 0);
    for (unsigned p = 0; p < rowPlanes_; ++p) {
      const unsigned char* plane = row.data() + p * rowBytes_;
      for (std::size_t x = 0; x < values.size(); ++x) {
        const bool bit = (plane[x >> 3] & (0x80u >> (x & 7))) != 0;
        if (p == bmhd_.planes) {
          opaque[x] = bit;
        } else if (bit) {
          values[x] |= 1u << p;
        }
      }
    }
  }

  void colourRow(std::size_t y, const std::vector<std::uint32_t>& values, const std::vector<bool>& opaque) {
    unsigned char* out = rowFromTop(image_, y);
    const unsigned planes = bmhd_.planes;
    // Hold-and-modify starts each row from the background colour.
    Rgba held = palette_.empty() ? Rgba{} : palette_[0];
    for (std::size_t x = 0; x < values.size(); ++x) {
      const std::uint32_t v = values[x];
      Rgba c;
      if (planes >= kDeepPlanes) {
        c = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
             planes == kDeepAlphaPlanes ? std::uint8_t(v >> 24) : std::uint8_t{0xFF}};
      } else if (ham_) {
        c = held = modify(held, v, planes - 2, y, x);
      } else {
        c = colour(v, y, x);
        if (bmhd_.masking == kTransparentColour && v == bmhd_.transparentColour) c.a = 0;
      }
      if (bmhd_.masking == kMaskPlane && !opaque[x]) c.a = 0;
      storePixel(out, x, alpha_, c);
    }
  }

  // The two high bits choose: a palette colour, or the held colour with blue, red or green
  // replaced by the low bits, widened to 8 bits.
  Rgba modify(Rgba held, std::uint32_t v, unsigned dataBits, std::size_t y, std::size_t x) const {
    const std::uint32_t data = v & ((1u << dataBits) - 1);
    const std::uint8_t gun = widen(data, dataBits);
    switch (v >> dataBits) {
      case 0: return colour(data, y, x);
      case 1: held.b = gun; break;
      case 2: held.r = gun; break;
      default: held.g = gun; break;
    }
    held.a = 0xFF;
    return held;
  }

  Rgba colour(std::uint32_t index, std::size_t y, std::size_t x) const {
    if (index >= palette_.size()) {
      in_.fail("BODY",
               "row " + std::to_string(y) + ", column " + std::to_string(x) + " uses colour " + std::to_string(index) +
                   " of a " + std::to_string(palette_.size()) + "-colour CMAP",
               cmapOffset_ != 0 ? cmapOffset_ : body_.offset);
    }
    return palette_[index];
  }

  std::span<const std::byte> bytes_;
  ImageBytes in_;
  Bmhd bmhd_{};
  std::uint64_t bmhdOffset_ = 0, cmapOffset_ = 0;
  std::vector<Rgba> palette_;
  std::uint32_t viewModes_ = 0;
  IffChunk body_;
  bool hasBody_ = false, chunky_ = false, ham_ = false, alpha_ = false;
  unsigned rowBytes_ = 0, rowPlanes_ = 0;
  Image image_;
};

}  // namespace

Image decodeIlbm(std::span<const std::byte> bytes, const std::string& name) {
  return IlbmDecoder(bytes, name).decode();
}

}  // namespace tessarine::mesh
