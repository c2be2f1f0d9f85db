// Reading a large LWO2 object (about 60 000 points and 60 000 quads) compared with a bare
// chunk reader that only reads and byte-swaps the same bytes, and with a general importer;
// making the texture of a 512 x 512 image; and drawing a textured LightWave sphere of 100 000
// quads by its surface's vertex arrays against one glBegin/glEnd per polygon.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <cstring>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "formats/lwo2_writer.h"
#include "formats/tga_writer.h"
#include "headless/headless_gl.h"
#include "mesh/mesh.h"
#include "mesh/surface_geometry.h"
#include "support/temp_dir.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

namespace tessarine::mesh {
namespace {

constexpr int kColumns = 250;
constexpr int kRows = 240;  // 60 000 points, 59 511 quads
constexpr int kTextureSide = 512;

// The object and its image, written once for every benchmark of the run.
struct LargeObject {
  tessarine::testing::TempDir dir;
  std::string objectPath;
  std::string imagePath;
  std::size_t bytes = 0;

  LargeObject() {
    formats::ObjectData object;
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kColumns; ++c) {
        object.points.push_back({static_cast<float>(c), static_cast<float>(r), static_cast<float>((r * c) % 7)});
        object.uvs.push_back({static_cast<float>(c) / kColumns, static_cast<float>(r) / kRows});
      }
    }
    for (int r = 0; r + 1 < kRows; ++r) {
      for (int c = 0; c + 1 < kColumns; ++c) {
        auto at = [](int row, int column) { return static_cast<std::uint16_t>(row * kColumns + column); };
        object.polygons.push_back({at(r, c), at(r + 1, c), at(r + 1, c + 1), at(r, c + 1)});
      }
    }
    object.imageFile = "grid.tga";
    std::string file = formats::writeLwo2(object);
    bytes = file.size();
    objectPath = dir.write("grid.lwo", file);
    formats::TgaImage image;
    image.width = 2;
    image.height = 2;
    image.pixels.assign(12, 0x80);
    imagePath = dir.write("grid.tga", formats::writeTga(image));
  }
};

const LargeObject& largeObject() {
  static const LargeObject object;
  return object;
}

// The fastest repetition: on a shared machine the least disturbed one is the fairest.
double fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

void BM_MeshReader(benchmark::State& state) {
  const LargeObject& object = largeObject();
  for (auto _ : state) {
    std::unique_ptr<Mesh> mesh = loadMesh("grid.lwo", object.dir.str());
    benchmark::DoNotOptimize(mesh->polygons().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * object.bytes));
}
BENCHMARK(BM_MeshReader)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

// The floor: each chunk up to POLS read whole into a buffer of its own (a reader keeps
// what it reads) and its numbers swapped where they lie, the image read whole, and
// nothing checked, converted or built.
void BM_PlainChunkReader(benchmark::State& state) {
  const LargeObject& object = largeObject();
  for (auto _ : state) {
    std::vector<std::vector<unsigned char>> chunks;
    std::FILE* file = std::fopen(object.objectPath.c_str(), "rb");
    unsigned char header[12];
    if (std::fread(header, 1, sizeof header, file) != sizeof header) state.SkipWithError("short read");
    for (bool polygons = false; !polygons;) {
      unsigned char chunk[8];
      if (std::fread(chunk, 1, sizeof chunk, file) != sizeof chunk) {
        state.SkipWithError("short read");
        break;
      }
      std::string_view id(reinterpret_cast<const char*>(chunk), 4);
      std::vector<unsigned char>& body = chunks.emplace_back(common::loadU32BE(chunk + 4));
      if (std::fread(body.data(), 1, body.size(), file) != body.size()) state.SkipWithError("short read");
      if (id == "PNTS") {
        for (std::size_t i = 0; i + 4 <= body.size(); i += 4) {
          std::uint32_t word = common::loadU32BE(&body[i]);
          std::memcpy(&body[i], &word, 4);
        }
      } else if (id == "VMAP") {
        for (std::size_t i = 10; i + 10 <= body.size(); i += 10) {
          std::uint16_t point = common::loadU16BE(&body[i]);
          std::uint32_t u = common::loadU32BE(&body[i + 2]), v = common::loadU32BE(&body[i + 6]);
          std::memcpy(&body[i], &point, 2);
          std::memcpy(&body[i + 2], &u, 4);
          std::memcpy(&body[i + 6], &v, 4);
        }
      } else if (id == "POLS") {
        for (std::size_t i = 4; i + 2 <= body.size(); i += 2) {
          std::uint16_t word = common::loadU16BE(&body[i]);
          std::memcpy(&body[i], &word, 2);
        }
        polygons = true;
      }
    }
    std::fclose(file);
    benchmark::DoNotOptimize(chunks.data());
    std::FILE* image = std::fopen(object.imagePath.c_str(), "rb");
    unsigned char pixels[64];
    benchmark::DoNotOptimize(std::fread(pixels, 1, sizeof pixels, image));
    std::fclose(image);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * object.bytes));
}
BENCHMARK(BM_PlainChunkReader)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

void BM_AssimpImporter(benchmark::State& state) {
  const LargeObject& object = largeObject();
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(object.objectPath, 0);
    if (scene == nullptr) {
      state.SkipWithError(importer.GetErrorString());
      break;
    }
    benchmark::DoNotOptimize(scene);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * object.bytes));
}
BENCHMARK(BM_AssimpImporter)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

void BM_TextureFromImage512(benchmark::State& state) {
  headless::HeadlessGl gl(4, 4);
  Image image;
  image.width = kTextureSide;
  image.height = kTextureSide;
  image.bitsPerPixel = 24;
  image.pixels.resize(std::size_t{kTextureSide} * kTextureSide * 3);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<unsigned char>(i * 31);
  for (auto _ : state) {
    Texture texture(image, 0.5f);
    gl.finish();
    benchmark::DoNotOptimize(texture.id());
  }
}
BENCHMARK(BM_TextureFromImage512)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

constexpr int kSegments = 400;  // around the sphere
constexpr int kRings = 250;     // pole to pole: 100 000 quads
constexpr int kViewSide = 512;

// A smooth sphere of radius 1 with a 256 x 256 image wrapped spherically around y, as a mesh of
// one surface, drawn on a surfaceless context under the show's lighting and culling.
struct SphereScene {
  headless::HeadlessGl gl{kViewSide, kViewSide};
  std::unique_ptr<Mesh> mesh;

  SphereScene() {
    LightWaveObject object;
    object.layers.push_back({});
    for (int r = 0; r <= kRings; ++r) {
      const double latitude = std::numbers::pi * r / kRings - std::numbers::pi / 2;
      for (int s = 0; s < kSegments; ++s) {
        const double longitude = 2 * std::numbers::pi * s / kSegments;
        object.points.push_back({static_cast<float>(std::cos(latitude) * std::sin(longitude)),
                                 static_cast<float>(std::sin(latitude)),
                                 static_cast<float>(std::cos(latitude) * std::cos(longitude))});
      }
    }
    for (std::uint32_t r = 0; r < kRings; ++r) {
      for (std::uint32_t s = 0; s < kSegments; ++s) {
        const std::uint32_t next = (s + 1) % kSegments;
        object.polygons.push_back({static_cast<std::uint32_t>(object.indices.size()), 4, 0, 0, PolygonType::kFace});
        object.indices.insert(object.indices.end(), {r * kSegments + s, (r + 1) * kSegments + s,
                                                     (r + 1) * kSegments + next, r * kSegments + next});
      }
    }
    Surface& surface = object.surfaces.emplace_back();
    surface.smoothingAngle = std::numbers::pi_v<float> / 2;
    surface.colorMap.emplace();
    surface.colorMap->projection = Projection::kSpherical;
    surface.colorMap->axis = 1;
    SurfaceModel model;
    model.geometry = buildSurfaceGeometry(object);
    model.surfaces = object.surfaces;
    Image image;
    image.width = image.height = 256;
    image.bitsPerPixel = 24;
    image.pixels.resize(std::size_t{256} * 256 * 3);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<unsigned char>(i * 7);
    model.images.push_back({"sphere.tga", std::move(image), {}});
    model.imageOfBatch = {0};
    mesh = std::make_unique<Mesh>("sphere.lwo", std::move(model));
    mesh->makeTexture();

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1.2, 1.2, -1.2, 1.2, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glScalef(1, 1, -1);
  }
};

SphereScene& sphereScene() {
  static SphereScene scene;
  return scene;
}

void BM_DrawSphereVertexArrays(benchmark::State& state) {
  SphereScene& scene = sphereScene();
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene.mesh->draw();
    scene.gl.finish();
  }
  state.SetItemsProcessed(state.iterations() * kSegments * kRings);
}
BENCHMARK(BM_DrawSphereVertexArrays)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

// The same corners, material and texture, one GL polygon per quad as the show's meshes draw.
void BM_DrawSphereImmediate(benchmark::State& state) {
  SphereScene& scene = sphereScene();
  const SurfaceModel& model = *scene.mesh->surfaces();
  const SurfaceBatch& batch = model.geometry.batches[0];
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, model.images[0].texture.id());
    for (std::size_t first = 0; first < batch.vertexCount(); first += 4) {
      glBegin(GL_POLYGON);
      for (std::size_t v = first; v < first + 4; ++v) {
        glNormal3fv(&batch.normals[3 * v]);
        glTexCoord2fv(&batch.uvs[2 * v]);
        glVertex3fv(&batch.positions[3 * v]);
      }
      glEnd();
    }
    scene.gl.finish();
  }
  state.SetItemsProcessed(state.iterations() * kSegments * kRings);
}
BENCHMARK(BM_DrawSphereImmediate)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

}  // namespace
}  // namespace tessarine::mesh
