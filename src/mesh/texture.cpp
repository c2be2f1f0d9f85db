// Texture objects: a mipmapped upload of a TGA image and the residence priority that
// scene changes adjust.
#include "mesh/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <utility>

#include "common/error.h"

namespace tessarine::mesh {
namespace {

using common::Error;

constexpr unsigned kBitsPerByte = 8;

}  // namespace

Texture::Texture(const Image& image, float priority) {
  GLint components = 0;
  GLenum format = 0;
  switch (image.bitsPerPixel) {
    case 32:
      components = 4;
      format = GL_BGRA_EXT;
      break;
    case 24:
      components = 3;
      format = GL_BGR_EXT;
      break;
    default:
      throw Error("Unrecognized Image");
  }
  // An Image can be filled by hand; GLU would read past a short pixel array, and scale
  // copies of a side no texture can have.
  if (image.width > Image::kMaxSide || image.height > Image::kMaxSide) {
    throw Error("Image larger than " + std::to_string(Image::kMaxSide) + " pixels on a side");
  }
  std::uint64_t needed = std::uint64_t{image.width} * image.height * image.bitsPerPixel / kBitsPerByte;
  if (image.pixels.size() < needed) throw Error("Image holds fewer pixels than its size declares");

  GLuint id = 0;
  glGenTextures(1, &id);
  id_ = id;
  glBindTexture(GL_TEXTURE_2D, id_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  // Rows of 24-bit images are not padded to 4 bytes. The render state sets this too, but a
  // tool that makes textures without it would see every row skewed.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLint result = gluBuild2DMipmaps(GL_TEXTURE_2D, components, image.width, image.height, format,
                                   GL_UNSIGNED_BYTE, image.pixels.data());
  if (result != 0) {
    glDeleteTextures(1, &id);
    id_ = 0;
    const GLubyte* reason = gluErrorString(static_cast<GLenum>(result));
    throw Error(std::string("I can't build the texture's mipmaps: ") +
                (reason != nullptr ? reinterpret_cast<const char*>(reason) : "unknown GLU error"));
  }
  setPriority(priority);
}

Texture::~Texture() {
  if (id_ != 0) {
    GLuint id = id_;
    glDeleteTextures(1, &id);
  }
}

Texture::Texture(Texture&& other) noexcept
    : id_(std::exchange(other.id_, 0)), priority_(std::exchange(other.priority_, 0.0f)) {}

Texture& Texture::operator=(Texture&& other) noexcept {
  if (this != &other) {
    Texture old(std::move(*this));
    id_ = std::exchange(other.id_, 0);
    priority_ = std::exchange(other.priority_, 0.0f);
  }
  return *this;
}

void Texture::setPriority(float priority) {
  priority_ = priority;
  if (id_ == 0) return;
  GLuint id = id_;
  GLclampf value = priority_;
  glPrioritizeTextures(1, &id, &value);
}

}  // namespace tessarine::mesh
