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

// A recorded name as it can be shown safely: control characters and the
// invisible format characters (bidi overrides and isolates, zero-width
// characters and the like) become "<U+202E>"-style marks, so that a name
// like "invoice_<U+202E>gpj.exe" cannot pass for "invoice_exe.jpg".
// Bytes that are not UTF-8 are left for the display to replace.
std::string VisibleName(const std::string& name);

}  // namespace mvrview
