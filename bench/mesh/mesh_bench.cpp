// Reading a large LWO2 object (about 60 000 points and 60 000 quads) compared with a bare
// chunk reader that only reads and byte-swaps the same bytes, and with a general importer;
// and making the texture of a 512 x 512 image.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "formats/lwo2_writer.h"
#include "formats/tga_writer.h"
#include "headless/headless_gl.h"
#include "mesh/mesh.h"
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

}  // namespace
}  // namespace tessarine::mesh
