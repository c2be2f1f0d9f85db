// Which lights of a LightWave scene take OpenGL's eight: the ones that light the most.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "scene/lightwave_scene_assembly.h"

namespace tessarine::scene::lightwave {

std::vector<std::size_t> chooseLights(std::span<const double> brightness) {
  std::vector<std::size_t> order(brightness.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (order.size() <= kMaxLights) return order;
  // A brightness that is no number lights nothing.
  auto lightOf = [&](std::size_t i) {
    return std::isnan(brightness[i]) ? -std::numeric_limits<double>::infinity() : brightness[i];
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return lightOf(a) > lightOf(b); });
  order.resize(kMaxLights);
  std::sort(order.begin(), order.end());
  return order;
}

}  // namespace tessarine::scene::lightwave
