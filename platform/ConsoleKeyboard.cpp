#include "platform/ConsoleKeyboard.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>

namespace platform {
namespace {

struct termios g_saved;
std::atomic<bool> g_raw{false};
bool g_setUp = false;
bool g_isTerminal = false;

void RestoreOnSignal(int sig) {
  RestoreConsole();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// Switches the terminal to byte-at-a-time input without echo. Signals stay on,
// so Ctrl+C still interrupts, and the terminal is put back on every way out.
void SetUp() {
  if (g_setUp) return;
  g_setUp = true;
  g_isTerminal = ::isatty(STDIN_FILENO) == 1;
  if (!g_isTerminal || ::tcgetattr(STDIN_FILENO, &g_saved) != 0) {
    g_isTerminal = false;
    return;
  }
  // The way back is in place before the switch: a signal arriving just after
  // tcsetattr would otherwise end the process with the terminal left raw.
  g_raw = true;
  std::atexit(RestoreConsole);
  std::signal(SIGINT, RestoreOnSignal);
  std::signal(SIGTERM, RestoreOnSignal);
  struct termios raw = g_saved;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  if (::tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) {
    g_raw = false;
    g_isTerminal = false;
  }
}

}  // namespace

void RestoreConsole() {
  // Async-signal-safe: only tcsetattr and an atomic.
  if (g_raw.exchange(false)) ::tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
}

bool KeyWaiting() {
  SetUp();
  if (!g_isTerminal) return false;
  struct pollfd p {STDIN_FILENO, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

int ReadKey() {
  if (!KeyWaiting()) return -1;
  unsigned char c = 0;
  return ::read(STDIN_FILENO, &c, 1) == 1 ? c : -1;
}

}  // namespace platform
