// The LWO2 object reader: an object file's bytes in, its geometry out.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "mesh/geometry.h"

namespace tessarine::mesh {

// Reads the one layout the player accepts (see lwo_reader.cpp); `name` stands for the
// bytes in messages. Throws common::Error with the message and the place of the fault.
Geometry readLwo2(std::span<const std::byte> bytes, const std::string& name);

}  // namespace tessarine::mesh
