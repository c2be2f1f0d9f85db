// Textures made from the meshes' images after loading: the only place the mesh module's
// readers hand anything to GL.
#include "mesh/mesh_textures.h"

#include <utility>

namespace tessarine::mesh {

void Mesh::makeTexture() {
  if (surfaces_) {
    surfaces_->makeTextures(texture_.priority());
    return;
  }
  if (texture_.id() != 0) return;
  texture_ = Texture(image_, texture_.priority());
  image_.pixels = {};
}

void Mesh::setTexturePriority(float priority) {
  texture_.setPriority(priority);
  if (!surfaces_) return;
  for (SurfaceImage& image : surfaces_->images) image.texture.setPriority(priority);
  surfaces_->white.setPriority(priority);
}

void makeTextures(MeshLibrary& meshes) {
  for (const auto& mesh : meshes) mesh->makeTexture();
}

}  // namespace tessarine::mesh
