// One OpenGL texture object with its residence priority; deleted with its owner.
#pragma once

#include "mesh/image.h"

namespace tessarine::mesh {

// The residence priority of a texture from the load until a scene is activated.
inline constexpr float kLoadPriority = 0.5f;

class Texture {
 public:
  // Holds no GL name yet, only the priority it is to be made with.
  Texture() = default;
  // Makes the mipmapped texture from a 24- or 32-bit image (needs a current GL context);
  // any other depth throws common::Error("Unrecognized Image").
  Texture(const Image& image, float priority);
  ~Texture();
  Texture(Texture&& other) noexcept;
  Texture& operator=(Texture&& other) noexcept;
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // Touches GL only when the texture has a name; before, the priority is kept for it.
  void setPriority(float priority);
  unsigned id() const { return id_; }
  float priority() const { return priority_; }

 private:
  unsigned id_ = 0;
  float priority_ = kLoadPriority;
};

}  // namespace tessarine::mesh
