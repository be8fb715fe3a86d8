// How the viewer writes sizes and times: the same text on every machine,
// whatever language or number format the user has chosen.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace mvrview {

// Kilobytes with two decimals and a point: 1000 bytes is "0.98 Kb".
std::string FormatKb(uint32_t bytes);

// Local time in English, e.g. "Sunday, Dec 06, 2026 ,  03:01 PM"; empty when
// the time cannot be broken down.
std::string FormatConstructionTime(std::time_t when);

}  // namespace mvrview
