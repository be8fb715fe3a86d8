#include "platform/ConsoleKeyboard.h"

#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "platform/TerminatingSignals.h"

namespace platform {
namespace {

struct termios g_saved;
struct termios g_rawSettings;
std::atomic<bool> g_raw{false};      // the terminal is in raw mode now
std::atomic<bool> g_wantRaw{false};  // it should be, whenever we hold the terminal
bool g_setUp = false;
bool g_isTerminal = false;

bool InForeground() { return ::tcgetpgrp(STDIN_FILENO) == ::getpgrp(); }

// Back to raw input after a stop, unless the job now runs in the background,
// where touching the terminal would stop it again.
void ResumeRaw() {
  if (!g_wantRaw.load() || g_raw.load() || !InForeground()) return;
  if (::tcsetattr(STDIN_FILENO, TCSANOW, &g_rawSettings) == 0) g_raw = true;
}

void Handle(int sig, void (*handler)(int)) {
  struct sigaction sa {};
  sa.sa_handler = handler;
  sa.sa_flags = SA_RESTART;
  sigemptyset(&sa.sa_mask);
  ::sigaction(sig, &sa, nullptr);
}

// Ctrl+Z: the shell gets its terminal back as it was, and raw input returns
// when the job is continued in the foreground.
void OnStop(int sig) {
  const int savedErrno = errno;
  if (g_raw.exchange(false)) ::tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
  ::signal(sig, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, sig);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(sig);  // stops here until SIGCONT
  Handle(sig, OnStop);
  ResumeRaw();
  errno = savedErrno;
}

void OnContinue(int) {
  const int savedErrno = errno;
  ResumeRaw();
  errno = savedErrno;
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
  g_rawSettings = g_saved;
  g_rawSettings.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  g_rawSettings.c_cc[VMIN] = 0;
  g_rawSettings.c_cc[VTIME] = 0;
  // The way back is in place before the switch: a signal arriving just after
  // tcsetattr would otherwise end the process with the terminal left raw.
  g_raw = true;
  g_wantRaw = true;
  std::atexit(RestoreConsole);
  // A signal the caller ignores (nohup) stays ignored.
  CatchTerminatingSignals();
  Handle(SIGTSTP, OnStop);
  Handle(SIGCONT, OnContinue);
  // Started in the background, the terminal is not ours to change: touching
  // it would stop the job (SIGTTOU). Raw input comes when the job is brought
  // to the foreground (SIGCONT).
  if (!InForeground()) {
    g_raw = false;
    return;
  }
  if (::tcsetattr(STDIN_FILENO, TCSANOW, &g_rawSettings) != 0) {
    g_raw = false;
    g_wantRaw = false;
    g_isTerminal = false;
  }
}

}  // namespace

void RestoreConsole() {
  // Async-signal-safe: only tcsetattr and atomics.
  g_wantRaw = false;
  if (g_raw.exchange(false)) ::tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
}

bool KeyWaiting() {
  SetUp();
  // Only raw input is read: reading the terminal from the background would
  // stop the job (SIGTTIN), and cooked input would wait for a whole line.
  if (!g_isTerminal || !g_raw.load()) return false;
  struct pollfd p {STDIN_FILENO, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

int ReadKey() {
  if (!KeyWaiting()) return -1;
  unsigned char c = 0;
  return ::read(STDIN_FILENO, &c, 1) == 1 ? c : -1;
}

}  // namespace platform
