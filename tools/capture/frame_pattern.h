// A file name pattern for numbered frames, such as "shots/%05d.png": checked once to hold
// exactly one integer conversion, so no user text ever reaches printf as a format.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessarine::capture {

// The widest field a conversion may ask for ("%05d" asks for 5).
inline constexpr int kMaxFieldWidth = 32;

class FramePattern {
 public:
  // The pattern, or nothing (with `error` set) unless it holds exactly one conversion
  // "%d", "%i" or "%u", with no flag but "0" and a width of at most kMaxFieldWidth that
  // only with it: the names hold no spaces or signs. "%%" stands for a percent sign.
  static std::optional<FramePattern> parse(std::string_view pattern, std::string& error);

  // The file name of frame `number` (0 or more).
  std::string format(int number) const;
  const std::string& text() const { return text_; }

 private:
  FramePattern() = default;

  std::string text_;
  std::string prefix_;      // literal text before the conversion, "%%" already a "%"
  std::string conversion_;  // the checked conversion itself, e.g. "%05d"
  std::string suffix_;
};

}  // namespace tessarine::capture
