// Frame file patterns parsed by hand, so that only a checked integer conversion ever
// reaches snprintf as a format.
#include "capture/frame_pattern.h"

#include <array>
#include <cstdio>

namespace tessarine::capture {

namespace {

// The flags printf knows, read so that all but the zero can be refused by name.
constexpr std::string_view kFlags = "0-+ #'";
constexpr char kZeroFlag = '0';
constexpr std::string_view kIntegerConversions = "diu";
// Room for the widest field and any int.
constexpr std::size_t kFormattedSize = kMaxFieldWidth + 16;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Built by appending: GCC 12 misreads a literal + a temporary string as an overlapping copy
// in optimised builds.
std::string quoted(std::string_view text) { return std::string(1, '"').append(text).append(1, '"'); }

}  // namespace

std::optional<FramePattern> FramePattern::parse(std::string_view pattern, std::string& error) {
  FramePattern result;
  result.text_ = pattern;
  bool found = false;
  std::string* literal = &result.prefix_;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      literal->push_back(pattern[i]);
      continue;
    }
    if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
      literal->push_back('%');
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < pattern.size() && kFlags.find(pattern[end]) != std::string_view::npos) ++end;
    const std::string_view flags = pattern.substr(i + 1, end - i - 1);
    int width = 0;
    while (end < pattern.size() && isDigit(pattern[end])) {
      width = width * 10 + (pattern[end] - '0');
      if (width > kMaxFieldWidth) {
        error = "the field width in \"" + std::string(pattern) + "\" is over " + std::to_string(kMaxFieldWidth);
        return std::nullopt;
      }
      ++end;
    }
    if (end == pattern.size() || kIntegerConversions.find(pattern[end]) == std::string_view::npos) {
      error = quoted(pattern) + " may hold only %d, %i or %u (with the flag 0 and a width) and %%";
      return std::nullopt;
    }
    // Any other flag, or a width without zeros to fill it, puts signs or spaces in the
    // file names.
    if (const std::size_t other = flags.find_first_not_of(kZeroFlag); other != std::string_view::npos) {
      error = quoted(pattern) + " may give its frame number only the flag 0, as in %05d, not " +
              quoted(flags.substr(other, 1));
      return std::nullopt;
    }
    if (width > 0 && flags.empty()) {
      error = quoted(pattern) + " pads its frame number with spaces: fill the width with zeros, as in %05d";
      return std::nullopt;
    }
    if (found) {
      error = quoted(pattern) + " holds more than one frame number";
      return std::nullopt;
    }
    found = true;
    result.conversion_ = pattern.substr(i, end + 1 - i);
    literal = &result.suffix_;
    i = end;
  }
  if (!found) {
    error = quoted(pattern) + " holds no frame number such as %05d";
    return std::nullopt;
  }
  return result;
}

std::string FramePattern::format(int number) const {
  std::array<char, kFormattedSize> digits{};
  // The conversion was checked to be one integer conversion of a bounded width.
  if (conversion_.back() == 'u') {
    std::snprintf(digits.data(), digits.size(), conversion_.c_str(), static_cast<unsigned>(number));
  } else {
    std::snprintf(digits.data(), digits.size(), conversion_.c_str(), number);
  }
  return prefix_ + digits.data() + suffix_;
}

}  // namespace tessarine::capture
