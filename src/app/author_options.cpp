// Author mode's options: a scene named by file or number, a time that must be a finite
// number of seconds, and the refusals that say what was expected instead.
#include "app/author_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace tessarine::app {
namespace {

constexpr std::string_view kSceneSuffix = ".lws";

// An empty value is shown as "" so that the refusal still shows what was given.
std::string refusal(std::string_view option, const std::string& value, const std::string& expected) {
  return std::string(option).append(" ").append(value.empty() ? "\"\"" : value).append(": expected ") + expected;
}

std::optional<std::size_t> sceneIndexOf(const std::string& value, std::span<const show::PlayListEntry> playList) {
  for (std::size_t i = 0; i < playList.size(); ++i) {
    const std::string_view file = playList[i].fileName;
    if (value == file || std::string(value) + std::string(kSceneSuffix) == file) return i;
  }
  std::size_t number = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, number);
  if (error == std::errc() && stop == end && number >= 1 && number <= playList.size()) return number - 1;
  return std::nullopt;
}

std::optional<double> secondsOf(const std::string& value) {
  double seconds = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, seconds);
  if (error != std::errc() || stop != end || !std::isfinite(seconds) || seconds < 0) return std::nullopt;
  return seconds;
}

}  // namespace

void addAuthorOptions(CLI::App& cli, AuthorOptions& options) {
  cli.add_flag("-a,--author", options.author, "Author mode: pause, seek, reload and an overlay of figures");
  cli.add_option_function<std::string>(
      "--scene", [&options](const std::string& value) { options.scene = value; },
      "Author mode: start at this scene (file name or number from 1)");
  cli.add_option_function<std::string>(
      "--at", [&options](const std::string& value) { options.at = value; },
      "Author mode: start at this show time, or time in --scene, in seconds");
  cli.add_flag("--watch", options.watch, "Author mode: reload when a file of the data directory changes");
}

std::string checkAuthorOptions(AuthorOptions& options, std::span<const show::PlayListEntry> playList) {
  if (!options.author) {
    if (options.scene) return refusal("--scene", *options.scene, "--author with it");
    if (options.at) return refusal("--at", *options.at, "--author with it");
    if (options.watch) return "--watch: expected --author with it";
    return {};
  }
  if (options.scene) {
    options.sceneIndex = sceneIndexOf(*options.scene, playList);
    if (!options.sceneIndex) {
      std::string names;
      for (const show::PlayListEntry& entry : playList) {
        names += (names.empty() ? "" : ", ") + std::string(entry.fileName);
      }
      const std::string numbers = "its number from 1 to " + std::to_string(playList.size());
      return refusal("--scene", *options.scene, "a scene of the play list (" + names + ") or " + numbers);
    }
  }
  if (options.at) {
    options.seconds = secondsOf(*options.at);
    if (!options.seconds) return refusal("--at", *options.at, "seconds, a number from 0 up");
  }
  return {};
}

}  // namespace tessarine::app
