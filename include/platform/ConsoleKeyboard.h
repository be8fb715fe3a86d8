// Non-blocking key reads from the console, for "press Esc to abort".
// On first use, when standard input is a terminal, it is switched to
// unbuffered input without echo; the previous settings come back at exit,
// also when the process ends through SIGINT, SIGTERM, SIGQUIT, SIGHUP or a
// fatal read fault, and while the job is stopped (Ctrl+Z) until it continues
// in the foreground. When standard input is not a terminal no key is ever
// waiting.
#pragma once

namespace platform {

inline constexpr int kKeyEscape = 27;

bool KeyWaiting();
// The next key (a byte), or -1 when none is waiting.
int ReadKey();
// Puts the terminal back as it was; safe to call more than once.
void RestoreConsole();

}  // namespace platform
