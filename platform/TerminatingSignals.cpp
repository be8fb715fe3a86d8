#include "platform/TerminatingSignals.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/ConsoleKeyboard.h"

namespace platform {
namespace {

// The handler reads the slots, so they are fixed and lock-free: a slot is
// Armed only while its name and folder are complete and stay so.
enum SlotState : int { kFree, kBusy, kArmed };

constexpr int kSlots = 64;

struct Slot {
  std::atomic<int> state{kFree};
  int folder = -1;
  char name[NAME_MAX + 1] = {};
};

Slot g_slots[kSlots];
std::mutex g_installLock;

// The signals whose default action ends the process and that a handler may
// catch (SIGKILL and SIGSTOP cannot be; the faults end the process where
// they happen and are not worth a clean-up that may fault again).
constexpr int kTerminating[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGPIPE,   SIGALRM, SIGUSR1,
                                SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGPOLL};

void OnTerminatingSignal(int sig) {
  for (Slot& s : g_slots) {
    int armed = kArmed;
    // Taken by the handler for good: the process is ending.
    if (s.state.compare_exchange_strong(armed, kBusy)) (void)::unlinkat(s.folder, s.name, 0);
  }
  RestoreConsole();
  ::signal(sig, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, sig);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(sig);
}

}  // namespace

void CatchTerminatingSignals() {
  const std::lock_guard<std::mutex> lock(g_installLock);
  for (const int sig : kTerminating) {
    struct sigaction current {};
    if (::sigaction(sig, nullptr, &current) != 0) continue;
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction sa {};
    sa.sa_handler = OnTerminatingSignal;
    sa.sa_flags = SA_RESTART;
    sigfillset(&sa.sa_mask);
    ::sigaction(sig, &sa, nullptr);
  }
}

int RegisterRemoval(int folderFd, const char* name) {
  if (name == nullptr || std::strlen(name) > NAME_MAX) return -1;
  CatchTerminatingSignals();
  for (int i = 0; i < kSlots; ++i) {
    Slot& s = g_slots[i];
    int expected = kFree;
    if (!s.state.compare_exchange_strong(expected, kBusy)) continue;
    s.folder = folderFd;
    std::strcpy(s.name, name);
    s.state.store(kArmed, std::memory_order_release);
    return i;
  }
  return -1;
}

void UnregisterRemoval(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  Slot& s = g_slots[slot];
  int armed = kArmed;
  if (s.state.compare_exchange_strong(armed, kBusy)) {
    s.folder = -1;
    s.name[0] = '\0';
    s.state.store(kFree, std::memory_order_release);
  }
}

}  // namespace platform
