// Numbers as the inspection documents write them.
#include "scene_report/report_json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace tessarine::inspect {

Json number(float value) {
  if (!std::isfinite(value)) return nullptr;
  std::array<char, 32> text{};
  const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
  double shortest = 0;
  std::from_chars(text.data(), written.ptr, shortest);
  return shortest;
}

Json number(std::optional<float> value) { return value ? number(*value) : Json(nullptr); }

Json numbers(std::span<const float> values) {
  Json array = Json::array();
  for (float value : values) array.push_back(number(value));
  return array;
}

Json bounds(std::span<const mesh::Point> points) {
  if (points.empty()) return nullptr;
  std::array<float, 3> low{}, high{};
  low.fill(std::numeric_limits<float>::infinity());
  high.fill(-std::numeric_limits<float>::infinity());
  for (const mesh::Point& point : points) {
    std::array<float, 3> p{point.x, point.y, point.z};
    for (int i = 0; i < 3; ++i) {
      if (p[i] < low[i]) low[i] = p[i];
      if (p[i] > high[i]) high[i] = p[i];
    }
  }
  return {numbers(low), numbers(high)};
}

}  // namespace tessarine::inspect
