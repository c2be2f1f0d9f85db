// Keeps Mesa's driver loaded for the rest of the process once a context has loaded it.
// Drawing makes the driver keep allocations until the process ends, which the leak
// suppressions name by module; unloading the driver with the display would leave those
// reports without a module name to match.
#pragma once

#include <dlfcn.h>
#include <link.h>

#include <cstddef>
#include <string_view>

namespace tessarine::testing {

inline void keepGlDriverLoaded() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void*) {
        std::string_view name = info->dlpi_name;
        if (name.find("_dri.so") != std::string_view::npos || name.find("libgallium") != std::string_view::npos) {
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
      },
      nullptr);
}

}  // namespace tessarine::testing
