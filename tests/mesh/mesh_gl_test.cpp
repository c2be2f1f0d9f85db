// Meshes and textures on a real GL context: faces show the image's rows by the UV map,
// either way up; textures hold the whole mipmap chain in RGB order, magnified linearly and
// minified from the chain; refused images; moved names; the library's lookup by file, each
// texture made once with the priority set before, its image dropped, released last first;
// LightWave objects drawn by their surfaces under the show's lighting, leaving its state alone.
#include <GL/gl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <tuple>
#include <vector>

#include "common/data_file.h"
#include "formats/lightwave_object_writer.h"
#include "headless/headless_gl.h"
#include "mesh/lightwave_mesh.h"
#include "mesh/lwo_reader.h"
#include "mesh/mesh_library.h"
#include "mesh/mesh_textures.h"
#include "mesh_fixtures.h"
#include "support/temp_dir.h"

namespace {

// Texture deletions in call order, seen by standing in front of the GL library's entry point.
std::vector<GLuint> deletedTextures;

}  // namespace

extern "C" void glDeleteTextures(GLsizei n, const GLuint* textures) {
  using Delete = void (*)(GLsizei, const GLuint*);
  static Delete next = reinterpret_cast<Delete>(dlsym(RTLD_NEXT, "glDeleteTextures"));
  deletedTextures.insert(deletedTextures.end(), textures, textures + n);
  next(n, textures);
}

namespace tessarine::mesh {
namespace {

using tessarine::testing::TempDir;
using testing::messageOf;

// One pixel row per texture row, so that every pixel centre falls on a texel centre.
constexpr int kWidth = 8;
constexpr int kHeight = 4;
using Rgb = std::array<int, 3>;
// Texture rows bottom first (the file's first row is v = 0): red, green, blue, yellow.
const Rgb kRows[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};

// One pixel wide, four rows tall: an odd width of 3-byte pixels, and no side that GLU
// would rescale. Stored bottom row first, or top row first when `topFirst`.
formats::TgaImage stripeImage(bool topFirst = false) {
  formats::TgaImage image{.width = 1, .height = 4, .pixels = {}};
  for (int k = 0; k < 4; ++k) {
    for (int c = 2; c >= 0; --c) image.pixels.push_back(static_cast<std::uint8_t>(kRows[topFirst ? 3 - k : k][c]));
  }
  return image;
}

// Two quads filling the view side by side. The middle edge's points are stored twice with
// different coordinates: the left quad runs v from 0 up, the right one from 1 down.
formats::ObjectData splitQuads() {
  return {.points = {{-1, -1, 0}, {0, -1, 0}, {0, 1, 0}, {-1, 1, 0}, {0, -1, 0}, {1, -1, 0}, {1, 1, 0}, {0, 1, 0}},
          .uvs = {{0, 0}, {0, 0}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 0}, {0, 0}},
          .polygons = {{0, 1, 2, 3}, {4, 5, 6, 7}}};
}

void expectPixel(const std::vector<std::uint8_t>& pixels, int x, int y, const Rgb& expected) {
  const std::size_t at = (static_cast<std::size_t>(y) * kWidth + x) * 4;
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(pixels[at + c], expected[c], 2) << "channel " << c << " at " << x << ", " << y;
}

Image imageOf(std::uint16_t width, std::uint16_t height, std::uint8_t bitsPerPixel, std::vector<unsigned char> pixels) {
  Image image;
  std::tie(image.width, image.height, image.bitsPerPixel, image.pixels) = std::tie(width, height, bitsPerPixel, pixels);
  return image;
}

GLint level(GLint level, GLenum name) {
  GLint value = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
  return value;
}

class MeshGlTest : public ::testing::Test {
 protected:
  MeshGlTest() : gl_(kWidth, kHeight) {
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
  }
  std::vector<std::uint8_t> draw(const Mesh& mesh) {
    glClear(GL_COLOR_BUFFER_BIT);
    mesh.draw();
    return gl_.readPixels();
  }
  // The bound texture over the whole view, its coordinates running from 0 to `u`, `v`.
  std::vector<std::uint8_t> drawTexture(float u, float v) {
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_QUADS);
    for (auto [x, y] : {std::pair(-1, -1), {1, -1}, {1, 1}, {-1, 1}}) {
      glTexCoord2f(x > 0 ? u : 0, y > 0 ? v : 0);
      glVertex2i(x, y);
    }
    glEnd();
    return gl_.readPixels();
  }

  headless::HeadlessGl gl_;
  TempDir dir_;
};

TEST_F(MeshGlTest, TexturedFacesShowTheImageRowsByPointIndex) {
  std::string plain = formats::writeLwo2(splitQuads());
  // The same object with every UV entry's own point field reversed: entries are used by
  // their position in the map, so the picture must not change.
  std::string scrambled = plain;
  std::size_t entries = scrambled.find("TXUV") + 10;
  for (std::uint16_t i = 0; i < 8; ++i) scrambled[entries + 10 * i + 1] = static_cast<char>(7 - i);
  // The same image stored top row first, with the descriptor's origin bit set: it is
  // turned at load, so the picture must not change either.
  std::string topLeft = formats::writeTga(stripeImage(true));
  topLeft[17] = static_cast<char>(topLeft[17] | 0x20);
  for (int variant = 0; variant < 3; ++variant) {
    const std::string image = variant == 2 ? topLeft : formats::writeTga(stripeImage());
    Mesh mesh("quads.lwo", readLwo2(common::bytesOf(variant == 1 ? scrambled : plain), "quads.lwo"),
              readTga(common::bytesOf(image), "quads.tga"));
    mesh.makeTexture();
    std::vector<std::uint8_t> pixels = draw(mesh);
    for (int k = 0; k < 4; ++k) expectPixel(pixels, 1, k, kRows[k]);
    for (int k = 0; k < 4; ++k) expectPixel(pixels, 6, k, kRows[3 - k]);
  }
}

TEST_F(MeshGlTest, TexturesAreMipmappedFilteredLinearlyAndInRedGreenBlueOrder) {
  // 100 x 60 is no power of two on either side: GLU scales it before building the chain.
  Texture texture(imageOf(100, 60, 24, std::vector<unsigned char>(100 * 60 * 3, 0x40)), 0.5f);
  EXPECT_EQ(level(0, GL_TEXTURE_INTERNAL_FORMAT), 3);
  const auto side = static_cast<unsigned>(std::max(level(0, GL_TEXTURE_WIDTH), level(0, GL_TEXTURE_HEIGHT)));
  const GLint last = std::bit_width(side) - 1;
  EXPECT_EQ(std::tuple(level(last, GL_TEXTURE_WIDTH), level(last, GL_TEXTURE_HEIGHT)), std::tuple(1, 1));

  // 32 bits: blue, green, red, alpha become red, green, blue, alpha.
  Texture rgba(imageOf(2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8}), 0.5f);
  EXPECT_EQ(level(0, GL_TEXTURE_INTERNAL_FORMAT), 4);
  std::vector<unsigned char> read(8);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
  EXPECT_EQ(read, (std::vector<unsigned char>{3, 2, 1, 4, 7, 6, 5, 8}));

  // Black | white magnified four times: the texel centres fall between pixels 1 and 2 and
  // between 5 and 6, so pixels 3 and 4 blend 3/8 and 5/8 of white (nearest: 0 and 255).
  Texture edge(imageOf(2, 1, 24, {0, 0, 0, 255, 255, 255}), 0.5f);
  std::vector<std::uint8_t> pixels = drawTexture(1, 1);
  expectPixel(pixels, 3, 0, {96, 96, 96});
  expectPixel(pixels, 4, 0, {159, 159, 159});
  // A 16 x 16 checkerboard 33 texels to a pixel: each pixel centre is on a texel centre, so
  // only the 1 x 1 level's average grey shows the chain is sampled (level 0 alone: 0 or 255).
  std::vector<unsigned char> board;
  for (int k = 0; k < 16 * 16; ++k) board.insert(board.end(), 3, static_cast<unsigned char>((k + k / 16) % 2 * 255));
  Texture checkers(imageOf(16, 16, 24, board), 0.5f);
  pixels = drawTexture(16.5f, 8.25f);
  for (int k = 0; k < kWidth * kHeight; ++k) expectPixel(pixels, k % kWidth, k / kWidth, {128, 128, 128});
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshGlTest, TexturesRefuseImagesTheyCannotUploadAndMoveTheirName) {
  const std::pair<Image, std::string> cases[] = {
      {imageOf(3, 1, 16, std::vector<unsigned char>(6)), "Unrecognized Image"},
      {imageOf(16385, 1, 24, std::vector<unsigned char>(16385 * 3)), "Image larger than 16384 pixels on a side"},
      {imageOf(1, 16385, 24, std::vector<unsigned char>(16385 * 3)), "Image larger than 16384 pixels on a side"},
      {imageOf(2, 2, 24, std::vector<unsigned char>(11)), "Image holds fewer pixels than its size declares"},
      {imageOf(16384, 16384, 24, std::vector<unsigned char>(11)), "Image holds fewer pixels than its size declares"},
      // GLU refuses an empty image; that is a failure, not a texture without pixels.
      {imageOf(0, 0, 24, {}), "I can't build the texture's mipmaps: "},
  };
  for (const auto& [image, message] : cases) {
    EXPECT_EQ(messageOf([&] { Texture(image, 0.5f); }).substr(0, message.size()), message);
  }
  // A moved-from texture holds no name, so it deletes none.
  Texture texture(imageOf(1, 1, 24, {0, 0, 0}), 0.2f), moved(std::move(texture));
  EXPECT_EQ(std::tuple(texture.id(), glIsTexture(moved.id()), moved.priority()), std::tuple(0u, GL_TRUE, 0.2f));
}

TEST_F(MeshGlTest, TheLibraryFindsAMeshByItsFileAndReleasesTexturesLastLoadedFirst) {
  std::vector<GLuint> ids;
  {
    MeshLibrary library;
    for (const char* name : {"a", "b", "c"}) {
      dir_.write(std::string(name) + ".lwo", formats::writeLwo2(testing::triangleObject()));
      dir_.write(std::string(name) + ".tga", formats::writeTga(testing::smallImage()));
    }
    Mesh& a = library.append(loadMesh("a.lwo", dir_.str()));
    Mesh& b = library.append(loadMesh("./b.lwo", dir_.str()));
    Mesh& c = library.append(loadMesh("c.lwo", dir_.str()));
    b.texture().setPriority(0.9f);  // as an activation before the step would
    makeTextures(library);
    ids = {a.texture().id(), b.texture().id(), c.texture().id()};
    makeTextures(library);  // every mesh keeps its texture: the release below finds these names
    GLfloat priority = 0;
    glBindTexture(GL_TEXTURE_2D, ids[1]);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &priority);
    EXPECT_EQ(std::tuple(priority, c.image().pixels.size()), std::tuple(0.9f, 0u));
    EXPECT_EQ(std::tuple(library.find(*common::identityOf(dir_.str() + "/.//a.lwo")), library.find("./b.lwo"),
                         library.find("b.lwo")), std::tuple(&a, &b, nullptr));
    EXPECT_EQ(library.find(*common::identityOf(dir_.str() + "/a.tga")), nullptr);
    EXPECT_THROW(library.append(nullptr), common::Error);
    deletedTextures.clear();
  }
  EXPECT_EQ(deletedTextures, (std::vector<GLuint>{ids[2], ids[1], ids[0]}));
}

// Two quads wound for LightWave's viewer at -z and a line out of view. The right quad is
// "Picture": two-sided, blue, the stripes spread over it by a planar projection along z; the left
// one "Red": luminous, with a broad highlight, and drawn last, so a show mesh meets what it sets.
std::string twoSurfaceObject() {
  using namespace formats;
  const auto lwo2 = LightWaveLayout::kLwo2;
  return objectFile(
      "LWO2", {tagsChunk({"Picture", "Red"}), layerChunk(0, {0, 0, 0}, ""),
               pointsChunk({{-1, -1, 0}, {-1, 1, 0}, {0, 1, 0}, {0, -1, 0}, {0, -1, 0}, {0, 1, 0}, {1, 1, 0},
                            {1, -1, 0}, {-1, 5, 0}, {1, 5, 0}}),
               polygonsChunk("FACE", {{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9}}),
               polygonTagsChunk("SURF", {{0, 1}, {1, 0}, {2, 1}}), clipChunk(1, "Images/stripe.tga", lwo2),
               surfaceChunk({.name = "Picture", .color = {0, 0, 1}, .doubleSided = true,
                             .blocks = {{.axis = 2, .center = {0.5f, 0, 0}, .size = {1, 2, 1}}}}, lwo2),
               surfaceChunk({.name = "Red", .color = {1, 0, 0}, .luminosity = 0.2f, .specular = 0.5f, .glossiness = 0},
                            lwo2)});
}

// kRows lit by 0.8 of the light.
const Rgb kLitRows[4] = {{204, 0, 0}, {0, 204, 0}, {0, 0, 204}, {204, 204, 0}};

// The render state the show's meshes see, one white light at (0, 0.6, 0.8) so that a face turned
// to the viewer takes 0.8 of it, no ambient, a green background, and z mirrored as item matrices do.
class LightWaveMeshTest : public MeshGlTest {
 protected:
  LightWaveMeshTest() {
    glClearColor(0, 0.5f, 0, 1);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const float light[4] = {0, 0.6f, 0.8f, 0}, none[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    glScalef(1, 1, -1);
  }
  std::unique_ptr<Mesh> load(bool withImage) {
    if (withImage) dir_.write("Images/stripe.tga", formats::writeTga(stripeImage()));
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    std::unique_ptr<Mesh> mesh = loadLightWaveMesh(dir_.write("Objects/two.lwo", twoSurfaceObject()), {}, stream);
    std::fclose(stream);
    messages_.assign(text, size);
    std::free(text);
    mesh->makeTexture();
    return mesh;
  }

  std::string messages_;
};

TEST_F(LightWaveMeshTest, SurfacesDrawWithTheirColourImageAndSidesAndLeaveTheShowsStateAsItWas) {
  // A show mesh with a front face on the left and a back face on the right, drawn before any other.
  dir_.write("show.lwo", formats::writeLwo2({.points = {{-1, -1, 0}, {-1, 1, 0}, {0, 1, 0}, {1, -1, 0}, {1, 1, 0}},
                                             .uvs = {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {1, 1}},
                                             .polygons = {{0, 1, 2}, {2, 4, 3}}}));
  dir_.write("show.tga", formats::writeTga(stripeImage()));
  const std::unique_ptr<Mesh> show = loadMesh("show.lwo", dir_.str());
  show->makeTexture();
  const std::vector<std::uint8_t> alone = draw(*show);

  const std::unique_ptr<Mesh> mesh = load(true);
  EXPECT_EQ(messages_, "");
  std::vector<std::uint8_t> pixels = draw(*mesh);
  // 0.8 of red lit + 0.2 luminous; the highlight is 0.5 x cos(18.4 degrees)^4 of the light.
  for (int k = 0; k < 4; ++k) expectPixel(pixels, 1, k, {255, 103, 103}), expectPixel(pixels, 6, k, kLitRows[k]);
  // From behind the one-sided quad is gone and the two-sided one lit on its back.
  glRotatef(180, 0, 1, 0);
  pixels = draw(*mesh);
  for (int k = 0; k < 4; ++k) expectPixel(pixels, 1, k, kLitRows[k]), expectPixel(pixels, 6, k, {0, 128, 0});
  glRotatef(180, 0, 1, 0);
  EXPECT_EQ(draw(*show), alone);
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_NORMAL_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(LightWaveMeshTest, AMissingImageIsSaidOnceAndItsSurfaceDrawsInItsColour) {
  std::unique_ptr<Mesh> mesh = load(false);
  const std::string said = "{dir}/Objects/two.lwo: image Images/stripe.tga not found; looked for ";
  EXPECT_TRUE(messages_.starts_with(dir_.expand(said)));
  EXPECT_NE(messages_.find(dir_.expand(", {dir}/Images/stripe.tga, ")), std::string::npos);
  EXPECT_EQ(std::count(messages_.begin(), messages_.end(), '\n'), 1);
  const std::vector<std::uint8_t> pixels = draw(*mesh);
  for (int k = 0; k < 4; ++k) expectPixel(pixels, 6, k, {0, 0, 204});
  deletedTextures.clear();
  mesh.reset();
  EXPECT_EQ(deletedTextures.size(), 1u);  // the one white texture, with its mesh
}

}  // namespace
}  // namespace tessarine::mesh
