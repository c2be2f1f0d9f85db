// Frames of a heavy scene on the software rasteriser at 1280 x 720: eight lights, fog and
// 100 000 textured polygons (four objects sharing one 25 000-quad grid), against a frame
// that only clears.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "formats/lwo2_writer.h"
#include "formats/tga_writer.h"
#include "headless/headless_gl.h"
#include "mesh/mesh_textures.h"
#include "render/activation.h"
#include "render/render_state.h"
#include "render/scene_renderer.h"
#include "support/scene_files.h"
#include "scene/demo_context.h"
#include "scene/scene.h"
#include "support/temp_dir.h"

namespace {

using namespace tessarine;
using testing::still;

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
// 125 x 200 quads per grid: 25 326 points, within a mesh's 16-bit point indices.
constexpr int kColumns = 200;
constexpr int kRows = 125;
constexpr int kObjects = 4;
constexpr std::uint16_t kTextureSide = 256;

// A grid of quads in the plane z = 0, 8 x 5 units, facing -z.
void writeGrid(const std::filesystem::path& dir) {
  constexpr float kGridWidth = 8;
  constexpr float kGridHeight = 5;
  formats::ObjectData grid;
  for (int row = 0; row <= kRows; ++row) {
    for (int column = 0; column <= kColumns; ++column) {
      const float u = static_cast<float>(column) / kColumns;
      const float v = static_cast<float>(row) / kRows;
      grid.points.push_back({(u - 0.5f) * kGridWidth, (v - 0.5f) * kGridHeight, 0});
      grid.uvs.push_back({u, v});
    }
  }
  auto at = [](int row, int column) { return static_cast<std::uint16_t>(row * (kColumns + 1) + column); };
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      grid.polygons.push_back({at(row + 1, column), at(row + 1, column + 1), at(row, column + 1), at(row, column)});
    }
  }
  grid.imageFile = "grid.tga";
  testing::writeFile(dir / "grid.lwo", formats::writeLwo2(grid));

  formats::TgaImage image;
  image.width = image.height = kTextureSide;
  for (int y = 0; y < kTextureSide; ++y) {
    for (int x = 0; x < kTextureSide; ++x) {
      const auto shade = static_cast<std::uint8_t>(((x / 16 + y / 16) % 2) ? 230 : 90);
      image.pixels.insert(image.pixels.end(), {shade, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)});
    }
  }
  testing::writeFile(dir / "grid.tga", formats::writeTga(image));
}

std::string sceneText() {
  formats::LwsScene lws{.lastFrame = 300, .ambientColor = {30, 30, 30}, .ambientIntensity = 1.0f,
                        .fogMinDistance = 5.0f, .fogMaxDistance = 40.0f, .fogColor = {20, 20, 40}};
  // Four grids tiling the view, each leaning a little so the lights fall unevenly.
  const float positions[kObjects][2] = {{-4, 2.5f}, {4, 2.5f}, {-4, -2.5f}, {4, -2.5f}};
  for (const auto& p : positions) lws.objects.push_back(testing::object("grid.lwo", still({.x = p[0], .y = p[1], .heading = 15})));
  for (int i = 0; i < 8; ++i) {
    const float x = static_cast<float>(i % 4) * 4 - 6;
    const float y = i < 4 ? 2.0f : -2.0f;
    const auto type = static_cast<formats::LwsLightType>(i % 3);  // distant, point, spot
    lws.lights.push_back({.motion = still({.x = x, .y = y, .z = -3}),
                          .color = {255, 200, 160}, .intensity = 0.4f, .type = type, .coneAngle = 60.0f});
  }
  lws.camera = {.motion = testing::motion({{.z = -8, .bank = -5, .frame = 0}, {.z = -7, .bank = 5, .frame = 300}}),
                .zoom = 1.0f};
  return formats::writeLws(lws);
}

class RenderFixture : public benchmark::Fixture {
 public:
  void SetUp(benchmark::State&) override {
    gl_ = std::make_unique<headless::HeadlessGl>(kWidth, kHeight);
    dir_ = std::make_unique<testing::TempDir>();
    writeGrid(dir_->path());
    dir_->write("bench.lws", sceneText());
    render::setUpRenderState();
    context_ = std::make_unique<scene::DemoContext>(dir_->str());
    context_->aspect = static_cast<float>(kWidth) / kHeight;
    scene_ = std::make_unique<scene::Scene>(*context_, "bench.lws", 1.0f);
    mesh::makeTextures(context_->meshes);
    render::activate(*scene_);
  }

  void TearDown(benchmark::State&) override {
    scene_.reset();
    context_.reset();
    dir_.reset();
    gl_.reset();
  }

 protected:
  std::unique_ptr<headless::HeadlessGl> gl_;
  std::unique_ptr<testing::TempDir> dir_;
  std::unique_ptr<scene::DemoContext> context_;
  std::unique_ptr<scene::Scene> scene_;
};

BENCHMARK_DEFINE_F(RenderFixture, EmptyFrame)(benchmark::State& state) {
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl_->finish();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_DEFINE_F(RenderFixture, SceneFrame)(benchmark::State& state) {
  float t = 0;
  for (auto _ : state) {
    render::render(*scene_, t);
    gl_->finish();
    t += 1.0f / 60;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["polygons"] = static_cast<double>(kObjects) * kRows * kColumns;
}

BENCHMARK_REGISTER_F(RenderFixture, EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_REGISTER_F(RenderFixture, SceneFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
