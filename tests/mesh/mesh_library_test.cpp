// The mesh library: lookup by the file read, and release of every texture, last loaded first.
#include "mesh/mesh_library.h"

#include <GL/gl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <vector>

#include "headless/headless_gl.h"
#include "mesh_fixtures.h"
#include "support/temp_dir.h"

namespace {

// Texture deletions in call order, seen by standing in front of the GL library's entry point.
std::vector<GLuint> deletedTextures;

}  // namespace

extern "C" void glDeleteTextures(GLsizei n, const GLuint* textures) {
  using Delete = void (*)(GLsizei, const GLuint*);
  static Delete next = reinterpret_cast<Delete>(dlsym(RTLD_NEXT, "glDeleteTextures"));
  for (GLsizei i = 0; i < n; ++i) deletedTextures.push_back(textures[i]);
  next(n, textures);
}

namespace tessarine::mesh {
namespace {

using tessarine::testing::TempDir;

TEST(MeshLibraryTest, FindsAMeshByTheFileItWasReadFromAndReleasesTexturesLastLoadedFirst) {
  headless::HeadlessGl gl(4, 4);
  TempDir dir;
  std::vector<GLuint> ids;
  {
    MeshLibrary library;
    for (const char* name : {"a", "b", "c"}) {
      dir.write(std::string(name) + ".lwo", formats::writeLwo2(testing::triangleObject()));
      dir.write(std::string(name) + ".tga", formats::writeTga(testing::smallImage()));
    }
    Mesh& a = library.append(std::make_unique<Mesh>("a.lwo", dir.str()));
    Mesh& b = library.append(std::make_unique<Mesh>("./b.lwo", dir.str()));
    ids = {a.texture().id(), b.texture().id(), library.append(std::make_unique<Mesh>("c.lwo", dir.str())).texture().id()};
    EXPECT_EQ(library.find(*common::identityOf(dir.str() + "/.//a.lwo")), &a);
    EXPECT_EQ(library.find(*common::identityOf(dir.str() + "/b.lwo")), &b);
    EXPECT_EQ(library.find(*common::identityOf(dir.str() + "/a.tga")), nullptr);
    EXPECT_EQ(std::tuple(library.find("./b.lwo"), library.find("b.lwo")), std::tuple(&b, static_cast<Mesh*>(nullptr)));
    EXPECT_THROW(library.append(nullptr), common::Error);
    EXPECT_EQ(library.size(), 3u);
    for (GLuint id : ids) EXPECT_TRUE(glIsTexture(id));
    deletedTextures.clear();
  }
  EXPECT_EQ(deletedTextures, (std::vector<GLuint>{ids[2], ids[1], ids[0]}));
}

}  // namespace
}  // namespace tessarine::mesh
