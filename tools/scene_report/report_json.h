// Numbers as the inspection documents write them: floats at their shortest, what is not
// finite as null, and the box round a set of points.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <span>

#include "mesh/geometry.h"

namespace tessarine::inspect {

// Members in the order they are written, so a document reads like the file it reports.
using Json = nlohmann::ordered_json;

// A float as the shortest decimal that reads back to it ("3.2", not 3.2000000476837158);
// a value that is not finite is null, as JSON has no such numbers.
Json number(float value);
Json number(std::optional<float> value);
Json numbers(std::span<const float> values);
// [[low x, y, z], [high x, y, z]], or null for no points.
Json bounds(std::span<const mesh::Point> points);

}  // namespace tessarine::inspect
