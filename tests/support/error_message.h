// The message and the place of the common::Error an action raises, for tests of refusals.
#pragma once

#include <string>

#include "common/error.h"

namespace tessarine::testing {

// `part` of the Error (its message or its place), or "(no error)".
inline std::string errorPart(auto&& action, const std::string& (common::Error::*part)() const noexcept) {
  try {
    action();
  } catch (const common::Error& error) {
    return (error.*part)();
  }
  return "(no error)";
}
inline std::string messageOf(auto&& action) { return errorPart(action, &common::Error::message); }
inline std::string placeOf(auto&& action) { return errorPart(action, &common::Error::where); }

}  // namespace tessarine::testing
