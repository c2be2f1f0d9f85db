// The command line every program shares: --help and --version answered on standard
// output with status 0 before anything else happens, and a refusal that names the option,
// the value and what was expected, on standard error with status 2.
#pragma once

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "common/error.h"

namespace tessarine::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 2;
inline constexpr const char* kVersion = TESSARINE_VERSION;

// The whole of `text` as a finite number written in decimal, or nothing.
inline std::optional<double> parseNumber(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// A finite number written in decimal that `accepts` takes; anything else is refused as
// "expected EXPECTED, not "TEXT"" after the option's name.
inline CLI::Validator number(const std::string& expected, std::function<bool(double)> accepts) {
  return CLI::Validator(
      [expected, accepts = std::move(accepts)](std::string& text) -> std::string {
        if (std::optional<double> value = parseNumber(text); value && accepts(*value)) return {};
        return "expected " + expected + ", not \"" + text + "\"";
      },
      "");
}

// Prints a refusal of what the command line asked for and gives the status to exit with;
// also for what can only be refused once the program has read its files.
inline int refuse(const std::string& program, const char* message, std::FILE* messages = stderr) {
  std::fprintf(messages, "%s: %s\nRun %s --help for the options.\n", program.c_str(), message, program.c_str());
  return kExitUsage;
}

class CommandLine {
 public:
  CommandLine(std::string program, const std::string& description)
      : program_(std::move(program)), app_(description, program_) {
    app_.set_version_flag("--version", program_ + " " + kVersion, "Print the version and exit");
  }

  // Options, positionals and checks of the whole line (a callback that throws
  // common::Error) are added here.
  CLI::App& app() { return app_; }

  // Nothing when the program is to go on; otherwise the status to exit with, the help,
  // version or refusal already printed.
  std::optional<int> parse(int argc, char** argv) {
    try {
      app_.parse(argc, argv);
      return std::nullopt;
    } catch (const CLI::Success& answered) {  // --help or --version
      return app_.exit(answered);
    } catch (const CLI::ParseError& refusal) {
      return refuse(program_, refusal.what());
    } catch (const common::Error& refusal) {
      return refuse(program_, refusal.what());
    }
  }

 private:
  std::string program_;
  CLI::App app_;
};

}  // namespace tessarine::cli
