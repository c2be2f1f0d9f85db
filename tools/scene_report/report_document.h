// The inspection tool's JSON document: what the reader made of each scene, the values in
// force at chosen times with every item's modelview, and the shared mesh library.
#pragma once

#include <span>
#include <string>

#include "show/show.h"

namespace tessarine::inspect {

// Needs the GL context the meshes were loaded with to be current: texture sizes are read
// back from it.
std::string inspectDocument(show::Show& show, std::span<const double> times);

}  // namespace tessarine::inspect
