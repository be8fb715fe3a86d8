// The 40-column progress bar and Esc handling shared by both console tools.
#pragma once

#include <cstdint>
#include <string>

#include "TarvoTypes.h"

namespace mvr {

inline constexpr unsigned kBarWidth = 40;

// Notification function for the core: draws the ruler on the first call and
// dots for progress; answers 1 when Esc is waiting, else 0 (other keys are
// swallowed).
int32_t ConsoleProgress(TypeNotifyEvent* event, uintptr_t userValue);

// The notification record that routes the core's events to ConsoleProgress
// (function delivery, user value 0).
S_TARVO_NOTIFY_INFO ConsoleTarget();

// The name of the first file reported as being processed (empty until then).
const char* ReportedFileName();

// Dots drawn for done of total, 0..40; no overflow for any 32-bit sizes.
unsigned BarPosition(uint32_t done, uint32_t total);

// Sets the process up for one run: a file-size limit makes writes fail
// (and the run end with its write error and clean-up) instead of killing
// the process with SIGXFSZ half-way.
void PrepareProcess();

// Prints ": <message>.\n" for result and returns the process exit code: the
// result, or -1 when its message cannot be loaded. The message is the
// result's own, or the string messageId where that is not 0.
int FinishWithMessage(E_TARVO_ERROR result, unsigned messageId = 0);

}  // namespace mvr
