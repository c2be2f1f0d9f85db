// tessarine-inspect: reads scenes as the player's play list does and prints, as JSON,
// what the reader made of them and what the renderer would use at chosen times; or prints
// what the readers make of objects as LightWave writes them.
#include <charconv>
#include <cstdio>
#include <exception>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "common/error.h"
#include "common/file_bytes.h"
#include "headless/headless_gl.h"
#include "mesh/mesh_textures.h"
#include "scene/lightwave_scene_reader.h"
#include "scene_report/lightwave_report.h"
#include "scene_report/report_document.h"
#include "show/play_list.h"
#include "show/show.h"
#include "show/show_location.h"

namespace {

using namespace tessarine;

constexpr int kExitFailure = 1;
// The context only holds textures and matrices; nothing is drawn into it.
constexpr int kContextSize = 64;

struct Options {
  std::optional<std::string> showDirectory;
  std::string dataDirectory;  // given, or the show's
  float nearPlane = 1.0f;
  std::vector<double> times;
  std::vector<std::string> scenes;
  std::vector<std::string> objects;  // LightWave objects: reported instead of the show
  std::vector<std::string> contentFolders;
};

std::string shortest(float value) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
}

// A number above 0 that a float, as the scene holds it, can hold.
CLI::Validator nearPlane() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        using Limits = std::numeric_limits<float>;
        const std::optional<double> near = cli::parseNumber(text);
        if (!near || !(*near > 0)) return "expected a number above 0, not \"" + text + "\"";
        if (*near > Limits::max()) return text + " is too large: a near plane is a float, at most " + shortest(Limits::max());
        if (static_cast<float>(*near) == 0) {
          return text + " is too small: a near plane is a float, at least " + shortest(Limits::denorm_min());
        }
        return {};
      },
      "");
}

void addOptions(CLI::App& app, Options& options) {
  app.add_option("--show", options.showDirectory,
                 "The show's folder; without it the working directory when it holds " + std::string(show::kDataDirectory) +
                     ", else the installed show")
      ->type_name("DIR");
  app.add_option("--data", options.dataDirectory,
                 "The folder the scenes and objects are read from (default: " + std::string(show::kDataDirectory) +
                     " in the show)")
      ->type_name("DIR");
  app.callback([&app, &options] {
    // Said here rather than by CLI11's own exclusions, which would clutter every line of the help.
    if (!options.objects.empty()) {
      for (const char* showOption : {"--show", "--data", "--near", "scenes"}) {
        if (app.count(showOption) != 0) {
          throw common::Error("--lightwave reads LightWave files alone, not with the show's options or scenes");
        }
      }
      return;
    }
    if (app.count("--data") == 0) options.dataDirectory = show::findShow(options.showDirectory).dataDirectory;
  });
  app.add_option("--near", options.nearPlane, "The near plane handed to each scene")
      ->type_name("N")
      ->check(nearPlane())
      ->capture_default_str();
  app.add_option("--at", options.times, "Also report values and matrices at this time; may be given again")
      ->type_name("SECONDS")
      ->allow_extra_args(false)
      ->check(cli::number("a number of seconds", [](double) { return true; }));
  app.add_option("scenes", options.scenes,
                 "The scene files, read as the player's play list does; none: the player's whole play list, "
                 "each scene with its own near plane")
      ->type_name("SCENE.lws");
  CLI::Option* objects =
      app.add_option("--lightwave", options.objects,
                     "Instead of the show: print what the readers make of these objects as LightWave writes them "
                     "(LWOB, LWO2, LWO3): format, layers, counts, bounds, surfaces and the images they use; or of "
                     "these scenes as LightWave writes them (LWSC 1 to 5), as the show's scenes are printed, with "
                     "the objects they name found and read")
          ->type_name("OBJECT.lwo|SCENE.lws");
  app.add_option("--content", options.contentFolders,
                 "A folder the objects and images are looked for under, by the path the file gives them; may be "
                 "given again (default: the file's folder and each folder above it)")
      ->type_name("DIR")
      ->allow_extra_args(false)
      ->needs(objects);
}

void printDocument(std::string document) {
  document += '\n';
  if (std::fwrite(document.data(), 1, document.size(), stdout) != document.size() || std::fflush(stdout) != 0) {
    throw common::Error("I can't write the document to standard output");
  }
}

bool isScene(const std::string& path) {
  const common::FileBytes bytes = common::readFileBytes(path, "rb");
  return scene::looksLikeLightWaveScene(bytes.bytes);
}

int runLightWaveScenes(const Options& options) {
  headless::HeadlessGl gl(kContextSize, kContextSize);
  show::Show show("");
  for (const std::string& file : options.objects) {
    show.loadLightWave({.path = file, .contentFolders = options.contentFolders, .messages = stderr});
  }
  mesh::makeTextures(show.context().meshes);
  printDocument(inspect::inspectDocument(show, options.times));
  return 0;
}

int runLightWave(const Options& options) {
  std::size_t scenes = 0;
  for (const std::string& file : options.objects) scenes += isScene(file) ? 1 : 0;
  if (scenes == options.objects.size()) return runLightWaveScenes(options);
  if (scenes != 0) throw common::Error("--lightwave reads objects or scenes, not both at once");
  if (!options.times.empty()) throw common::Error("--at goes with scenes, not objects");
  const inspect::LightWaveReport report = inspect::lightWaveDocument(options.objects, options.contentFolders);
  for (const std::string& warning : report.warnings) std::fprintf(stderr, "tessarine-inspect: %s\n", warning.c_str());
  printDocument(report.document);
  return 0;
}

int run(const Options& options) {
  // The context is made first and goes last: the show's textures need it.
  headless::HeadlessGl gl(kContextSize, kContextSize);
  show::Show show(options.dataDirectory);
  std::vector<show::PlayListEntry> named;
  for (const std::string& file : options.scenes) named.push_back({file, options.nearPlane});
  if (named.empty()) {
    show.load();
  } else {
    show.load(named);
  }
  // The document gives each texture's size as the GL holds it.
  mesh::makeTextures(show.context().meshes);
  printDocument(inspect::inspectDocument(show, options.times));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  cli::CommandLine commandLine("tessarine-inspect",
                               "Reads scenes as the player's play list does and prints, as JSON, what the reader made "
                               "of them and what the renderer would use at chosen times; with --lightwave, what the "
                               "readers make of objects as LightWave writes them.");
  addOptions(commandLine.app(), options);
  if (std::optional<int> status = commandLine.parse(argc, argv)) return *status;
  try {
    return options.objects.empty() ? run(options) : runLightWave(options);
  } catch (const common::Error& error) {
    // Authors are told where and why, not only the player's fixed text.
    std::fprintf(stderr, "tessarine-inspect: %s\n", error.described().c_str());
    return kExitFailure;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tessarine-inspect: %s\n", error.what());
    return kExitFailure;
  }
}
