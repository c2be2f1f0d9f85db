// Fuzz target for the reader of real content's images: the bytes go through the format
// dispatch to whichever decoder their first bytes choose (TGA, ILBM, BMP, PNG, JPEG).
#include <span>

#include "common/error.h"
#include "decoded_image_check.h"
#include "mesh/image_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessarine;
  try {
    const mesh::DecodedImage decoded = mesh::readImage(std::as_bytes(std::span(data, size)), "image");
    fuzz::checkDecodedImage(decoded.image);
  } catch (const common::Error&) {
    // A clear refusal is what a malformed image should get.
  }
  return 0;
}
