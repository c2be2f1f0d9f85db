// The message of the common::Error an action raises, for tests of refusals.
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

}  // namespace tessarine::testing
