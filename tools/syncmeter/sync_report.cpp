// Writes a measurement out and judges it against a limit.
#include "syncmeter/sync_report.h"

#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

namespace tessarine::syncmeter {
namespace {

std::string format(const char* pattern, auto... values) {
  char line[256];
  std::snprintf(line, sizeof line, pattern, values...);
  return line;
}

nlohmann::json summaryJson(const Summary& s) {
  return {{"count", s.count}, {"median_ms", s.medianMs}, {"min_ms", s.minMs}, {"max_ms", s.maxMs}};
}

}  // namespace

std::string textReport(const SyncResult& result) {
  std::string text = "picture (s)  offset (ms)  kind\n";
  const double origin = result.events.empty() ? 0 : result.events.front().pictureTime;
  for (const SyncEvent& event : result.events) {
    const std::string offset = event.offsetMs ? format("%+8.1f", *event.offsetMs) : "    none";
    text += format("%11.3f  %s     %s\n", event.pictureTime - origin, offset.c_str(), event.kind.c_str());
  }
  text += "kind              count  median     min     max (ms, sound minus picture)\n";
  auto row = [&](const std::string& kind, const Summary& s) {
    text += format("%-16s %6zu %+7.1f %+7.1f %+7.1f\n", kind.c_str(), s.count, s.medianMs, s.minMs, s.maxMs);
  };
  for (const auto& [kind, summary] : result.kinds) row(kind, summary);
  if (result.all) row("all", *result.all);
  std::size_t unpaired = 0;
  for (const SyncEvent& event : result.events) unpaired += event.offsetMs ? 0 : 1;
  text += format("unpaired: %zu picture changes, %zu clicks", unpaired, result.unpairedClicks.size());
  for (std::size_t i = 0; i < result.unpairedClicks.size(); ++i) {
    text += format("%s%.3f", i == 0 ? " at " : ", ", result.unpairedClicks[i] - origin);
  }
  text += "\n";
  if (result.driftMs) text += format("drift: %+.1f ms (last three offsets against the first three)\n", *result.driftMs);
  return text;
}

std::string jsonReport(const SyncResult& result) {
  nlohmann::json events = nlohmann::json::array();
  for (const SyncEvent& event : result.events) {
    events.push_back({{"picture_time", event.pictureTime}, {"kind", event.kind},
                      {"offset_ms", event.offsetMs ? nlohmann::json(*event.offsetMs) : nlohmann::json()}});
  }
  nlohmann::json kinds = nlohmann::json::object();
  for (const auto& [kind, summary] : result.kinds) kinds[kind] = summaryJson(summary);
  nlohmann::json document = {{"events", events}, {"kinds", kinds}, {"unpaired_clicks", result.unpairedClicks}};
  document["all"] = result.all ? summaryJson(*result.all) : nlohmann::json();
  document["drift_ms"] = result.driftMs ? nlohmann::json(*result.driftMs) : nlohmann::json();
  return document.dump(2) + "\n";
}

std::vector<std::string> grossFaults(const SyncResult& result, double limitMs) {
  std::vector<std::string> faults;
  if (!result.all) faults.push_back("no picture change had a click near it");
  for (const auto& [kind, summary] : result.kinds) {
    if (std::abs(summary.medianMs) > limitMs) {
      faults.push_back(format("%s: median offset %+.1f ms is beyond %.0f ms", kind.c_str(), summary.medianMs, limitMs));
    }
  }
  if (result.driftMs && std::abs(*result.driftMs) > limitMs) {
    faults.push_back(format("the offset drifted by %+.1f ms, beyond %.0f ms", *result.driftMs, limitMs));
  }
  return faults;
}

}  // namespace tessarine::syncmeter
