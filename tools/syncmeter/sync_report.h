// A measurement as text for a person or JSON for a program, and the gross faults that
// make a regression check fail.
#pragma once

#include <string>
#include <vector>

#include "syncmeter/sync_events.h"

namespace tessarine::syncmeter {

std::string textReport(const SyncResult& result);
std::string jsonReport(const SyncResult& result);

// One line for each kind whose median offset lies beyond `limitMs` either way, and one
// for a drift beyond it; also when nothing could be paired at all.
std::vector<std::string> grossFaults(const SyncResult& result, double limitMs);

}  // namespace tessarine::syncmeter
