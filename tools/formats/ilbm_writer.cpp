// Writes ILBM and PBM files: BMHD, CMAP, CAMG and BODY, each BODY row packed on its own as
// paint programs do, chunks padded to even lengths.
#include "formats/ilbm_writer.h"

#include "common/error.h"
#include "formats/lwo2_writer.h"

namespace tessarine::formats {
namespace {

constexpr std::size_t kMaxPacket = 128;
constexpr std::size_t kMinRun = 3;

std::string paddedChunk(std::string_view id, std::string_view body) {
  std::string out = chunk(id, body);
  if (body.size() % 2 != 0) out.push_back('\0');
  return out;
}

// One row of the BODY: each plane's bits (then the mask's), or the chunky bytes.
std::string bodyRow(const IlbmImage& image, std::size_t y) {
  const std::size_t w = image.width;
  const std::uint32_t* values = image.values.data() + y * w;
  std::string row;
  if (image.chunky) {
    for (std::size_t x = 0; x < w; ++x) row.push_back(static_cast<char>(values[x]));
    if (w % 2 != 0) row.push_back('\0');
    return row;
  }
  const std::size_t planeBytes = (w + 15) / 16 * 2;
  const unsigned planes = image.planes + (image.mask.empty() ? 0 : 1);
  for (unsigned p = 0; p < planes; ++p) {
    std::string plane(planeBytes, '\0');
    for (std::size_t x = 0; x < w; ++x) {
      const bool bit = p < image.planes ? (values[x] >> p) & 1 : image.mask[y * w + x] != 0;
      if (bit) plane[x / 8] = static_cast<char>(plane[x / 8] | (0x80 >> (x % 8)));
    }
    row += plane;
  }
  return row;
}

}  // namespace

std::string packByteRun1(std::string_view bytes) {
  std::string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::size_t run = 1;
    while (i + run < bytes.size() && run < kMaxPacket && bytes[i + run] == bytes[i]) ++run;
    if (run >= kMinRun) {
      out.push_back(static_cast<char>(1 - static_cast<int>(run)));
      out.push_back(bytes[i]);
      i += run;
      continue;
    }
    // Literals until the next run of three, at most 128 of them.
    std::size_t end = i;
    while (end < bytes.size() && end - i < kMaxPacket &&
           !(end + 2 < bytes.size() && bytes[end] == bytes[end + 1] && bytes[end] == bytes[end + 2])) {
      ++end;
    }
    out.push_back(static_cast<char>(end - i - 1));
    out.append(bytes.substr(i, end - i));
    i = end;
  }
  return out;
}

std::string writeIlbm(const IlbmImage& image) {
  const std::size_t pixels = std::size_t{image.width} * image.height;
  if (image.values.size() != pixels || (!image.mask.empty() && image.mask.size() != pixels)) {
    throw common::Error("ILBM values or mask do not match width x height");
  }
  std::string bmhd;
  appendU16BE(bmhd, image.width);
  appendU16BE(bmhd, image.height);
  appendU32BE(bmhd, 0);  // position
  bmhd.push_back(static_cast<char>(image.planes));
  bmhd.push_back(static_cast<char>(!image.mask.empty() ? 1 : image.transparentColour ? 2 : 0));
  bmhd.push_back(static_cast<char>(image.byteRun1 ? 1 : 0));
  bmhd.push_back('\0');
  appendU16BE(bmhd, image.transparentColour.value_or(0));
  bmhd += "\x0a\x0b";  // pixel aspect
  appendU16BE(bmhd, image.width);
  appendU16BE(bmhd, image.height);

  std::string chunks = paddedChunk("BMHD", bmhd);
  if (!image.palette.empty()) {
    std::string cmap;
    for (const auto& c : image.palette) cmap.append(c.begin(), c.end());
    chunks += paddedChunk("CMAP", cmap);
  }
  if (image.viewModes) {
    std::string camg;
    appendU32BE(camg, *image.viewModes);
    chunks += paddedChunk("CAMG", camg);
  }
  std::string body;
  for (std::size_t y = 0; y < image.height; ++y) {
    std::string row = bodyRow(image, y);
    body += image.byteRun1 ? packByteRun1(row) : row;
  }
  chunks += paddedChunk("BODY", body);
  return form(image.chunky ? "PBM " : "ILBM", chunks);
}

}  // namespace tessarine::formats
