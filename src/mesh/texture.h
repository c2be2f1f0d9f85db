// One OpenGL texture object with its residence priority; deleted with its owner.
#pragma once

#include <functional>

#include "mesh/image.h"

namespace tessarine::mesh {

class Texture {
 public:
  // Holds no GL name (as made by a texture maker that does not touch GL).
  Texture() = default;
  // Makes the mipmapped texture from a 24- or 32-bit image (needs a current GL context);
  // any other depth throws common::Error("Unrecognized Image").
  Texture(const Image& image, float priority);
  ~Texture();
  Texture(Texture&& other) noexcept;
  Texture& operator=(Texture&& other) noexcept;
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  void setPriority(float priority);
  unsigned id() const { return id_; }
  float priority() const { return priority_; }

 private:
  unsigned id_ = 0;
  float priority_ = 0;
};

// How a mesh turns its image into a texture. Programs use makeGlTexture; a caller without
// a GL context may give one that makes an empty Texture.
using TextureMaker = std::function<Texture(const Image&, float priority)>;
Texture makeGlTexture(const Image& image, float priority);

}  // namespace tessarine::mesh
