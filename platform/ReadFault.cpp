#include "platform/ReadFault.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/ConsoleKeyboard.h"

namespace platform::readfault {
namespace {

// Fixed and lock-free, because the handler reads it: one slot per mapped
// view alive at the same time, which is two per running construction.
constexpr int kSlots = 256;

// begin and end change together under a sequence number (odd while a slot
// is being written), so the handler never pairs one view's begin with
// another's end while a slot is taken or given back on another thread.
struct Slot {
  std::atomic<bool> used{false};
  std::atomic<uint32_t> sequence{0};
  std::atomic<uintptr_t> begin{0};  // 0: not watching
  std::atomic<uintptr_t> end{0};
  std::atomic<bool> faulted{false};

  void Set(uintptr_t b, uintptr_t e) {
    sequence.fetch_add(1, std::memory_order_acq_rel);
    begin.store(b, std::memory_order_release);
    end.store(e, std::memory_order_release);
    sequence.fetch_add(1, std::memory_order_acq_rel);
  }
  // A consistent view of the range, or false while it is being changed.
  bool Get(uintptr_t* b, uintptr_t* e) const {
    const uint32_t before = sequence.load(std::memory_order_acquire);
    if ((before & 1) != 0) return false;
    *b = begin.load(std::memory_order_acquire);
    *e = end.load(std::memory_order_acquire);
    return sequence.load(std::memory_order_acquire) == before;
  }
};

Slot g_slots[kSlots];
uintptr_t g_pageSize = 4096;
struct sigaction g_previous;
std::once_flag g_installed;

void PassOn(int sig, siginfo_t* info, void* context) {
  RestoreConsole();
  if ((g_previous.sa_flags & SA_SIGINFO) != 0 && g_previous.sa_sigaction != nullptr) {
    g_previous.sa_sigaction(sig, info, context);
    return;
  }
  if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
    g_previous.sa_handler(sig);
    return;
  }
  // Returning re-runs the faulting read, which now ends the process.
  ::signal(sig, SIG_DFL);
}

void OnBusError(int sig, siginfo_t* info, void* context) {
  const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
  for (Slot& s : g_slots) {
    uintptr_t begin = 0, end = 0;
    if (!s.Get(&begin, &end) || begin == 0 || at < begin || at >= end) continue;
    const uintptr_t from = at & ~(g_pageSize - 1);
    const uintptr_t to = (end + g_pageSize - 1) & ~(g_pageSize - 1);
    // mmap is a plain system call here; the kernel swaps the pages in place.
    void* zeros = ::mmap(reinterpret_cast<void*>(from), to - from, PROT_READ,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros == MAP_FAILED) break;
    s.faulted.store(true, std::memory_order_release);
    return;
  }
  PassOn(sig, info, context);
}

void Install() {
  const long page = ::sysconf(_SC_PAGESIZE);
  if (page > 0) g_pageSize = static_cast<uintptr_t>(page);
  struct sigaction sa {};
  sa.sa_sigaction = OnBusError;
  sa.sa_flags = SA_SIGINFO | SA_RESTART;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGBUS, &sa, &g_previous);
}

}  // namespace

int Watch(const void* begin, std::size_t size) {
  std::call_once(g_installed, Install);
  for (int i = 0; i < kSlots; ++i) {
    Slot& s = g_slots[i];
    bool expected = false;
    if (!s.used.compare_exchange_strong(expected, true)) continue;
    s.faulted.store(false, std::memory_order_relaxed);
    const auto b = reinterpret_cast<uintptr_t>(begin);
    s.Set(b, b + size);
    return i;
  }
  return -1;
}

void Unwatch(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  Slot& s = g_slots[slot];
  s.Set(0, 0);
  s.used.store(false, std::memory_order_release);
}

bool Faulted(int slot) {
  return slot >= 0 && slot < kSlots && g_slots[slot].faulted.load(std::memory_order_acquire);
}

}  // namespace platform::readfault
