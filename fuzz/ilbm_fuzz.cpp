// Fuzz target for the IFF ILBM image reader alone: the bytes are read as an ILBM file's.
#include <span>

#include "common/error.h"
#include "decoded_image_check.h"
#include "mesh/image_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessarine;
  try {
    const mesh::Image image = mesh::decodeIlbm(std::as_bytes(std::span(data, size)), "image.iff");
    fuzz::checkDecodedImage(image);
  } catch (const common::Error&) {
    // A clear refusal is what a malformed image should get.
  }
  return 0;
}
