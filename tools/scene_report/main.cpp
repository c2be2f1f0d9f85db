// tessarine-inspect: reads scenes as the player's play list does and prints, as JSON,
// what the reader made of them and what the renderer would use at chosen times.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "headless/headless_gl.h"
#include "scene_report/report_document.h"
#include "scene/demo_context.h"
#include "scene/scene.h"

namespace {

using namespace tessarine;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// The context only holds textures and matrices; nothing is drawn into it.
constexpr int kContextSize = 64;

constexpr const char* kUsage =
    "usage: tessarine-inspect [--data DIR] [--near N] [--at SECONDS]... SCENE.lws...\n"
    "  --data DIR     data directory the scenes and objects are read from (default Data)\n"
    "  --near N       near plane handed to each scene (default 1.0)\n"
    "  --at SECONDS   also report values and matrices at this time; may be repeated\n";

struct Options {
  std::string dataDirectory = "Data";
  float nearPlane = 1.0f;
  std::vector<double> times;
  std::vector<std::string> scenes;
};

std::optional<double> parseNumber(const char* text) {
  char* end = nullptr;
  errno = 0;
  double value = std::strtod(text, &end);
  if (end == text || *end != '\0' || errno == ERANGE || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Nothing when the arguments are not understood.
std::optional<Options> parseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i];
    bool takesValue = argument == "--data" || argument == "--near" || argument == "--at";
    if (!takesValue) {
      if (argument.starts_with("-")) return std::nullopt;
      options.scenes.emplace_back(argument);
      continue;
    }
    if (i + 1 >= argc) return std::nullopt;
    const char* value = argv[++i];
    if (argument == "--data") {
      options.dataDirectory = value;
    } else if (argument == "--near") {
      std::optional<double> nearPlane = parseNumber(value);
      if (!nearPlane || !(*nearPlane > 0)) return std::nullopt;
      options.nearPlane = static_cast<float>(*nearPlane);
    } else {
      std::optional<double> seconds = parseNumber(value);
      if (!seconds) return std::nullopt;
      options.times.push_back(*seconds);
    }
  }
  if (options.scenes.empty()) return std::nullopt;
  return options;
}

int run(const Options& options) {
  // Declared in this order so the scenes go before the meshes they point at, and the
  // meshes' textures before the context that holds them.
  headless::HeadlessGl gl(kContextSize, kContextSize);
  scene::DemoContext context(options.dataDirectory);
  std::vector<std::unique_ptr<scene::Scene>> scenes;
  for (const std::string& file : options.scenes) {
    scenes.push_back(std::make_unique<scene::Scene>(context, file, options.nearPlane));
  }
  std::string document = inspect::inspectDocument(scenes, context, options.times);
  document += '\n';
  if (std::fwrite(document.data(), 1, document.size(), stdout) != document.size() || std::fflush(stdout) != 0) {
    throw common::Error("I can't write the document to standard output");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Options> options = parseArguments(argc, argv);
  if (!options) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  try {
    return run(*options);
  } catch (const common::Error& error) {
    // Authors are told where and why, not only the player's fixed text.
    std::fprintf(stderr, "tessarine-inspect: %s\n", error.described().c_str());
    return kExitFailure;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tessarine-inspect: %s\n", error.what());
    return kExitFailure;
  }
}
