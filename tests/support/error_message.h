// The message and the place of the common::Error an action raises, for tests of refusals.
#pragma once

#include <string>

#include "common/error.h"

namespace tessarine::testing {

inline std::string messageOf(auto&& action) {
  try {
    action();
  } catch (const common::Error& error) {
    return error.what();
  }
  return "(no error)";
}

// Where the common::Error an action raises says the fault lies.
inline std::string placeOf(auto&& action) {
  try {
    action();
  } catch (const common::Error& error) {
    return error.where();
  }
  return "(no error)";
}

}  // namespace tessarine::testing
