#include "ConsoleProgress.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "TarvoCore.h"
#include "platform/ConsoleKeyboard.h"
#include "platform/StringTable.h"

namespace mvr {
namespace {

// Room the result line keeps for the reported name.
constexpr size_t kMaxShownName = 259;

bool g_rulerShown = false;
unsigned g_dotsShown = 0;
std::string g_fileName;

}  // namespace

unsigned BarPosition(uint32_t done, uint32_t total) {
  if (total == 0) return 0;
  const uint64_t dots = static_cast<uint64_t>(done) * kBarWidth / total;
  return dots > kBarWidth ? kBarWidth : static_cast<unsigned>(dots);
}

int32_t ConsoleProgress(TypeNotifyEvent* event, uintptr_t /*userValue*/) {
  if (!g_rulerShown) {
    g_rulerShown = true;
    std::fputs(std::string(kBarWidth, '-').append("\n").c_str(), stdout);
    std::fflush(stdout);
  }
  if (event->nKind == TARVO_EVENT_PROGRESS) {
    if (g_fileName.empty() && event->pszFileName != nullptr) {
      g_fileName.assign(event->pszFileName, strnlen(event->pszFileName, kMaxShownName));
    }
    const unsigned dots = BarPosition(event->dwDone, event->dwTotal);
    for (; g_dotsShown < dots; ++g_dotsShown) {
      std::fputc('.', stdout);
      std::fflush(stdout);
    }
  }
  while (platform::KeyWaiting()) {
    if (platform::ReadKey() == platform::kKeyEscape) return 1;
  }
  return 0;
}

S_TARVO_NOTIFY_INFO ConsoleTarget() {
  S_TARVO_NOTIFY_INFO notify{};
  notify.dwMethod = TARVO_NOTIFY_FUNCTION;
  notify.pfnNotify = ConsoleProgress;
  notify.nMessage = 0;
  return notify;
}

const char* ReportedFileName() { return g_fileName.c_str(); }

void PrepareProcess() { std::signal(SIGXFSZ, SIG_IGN); }

int FinishWithMessage(E_TARVO_ERROR result, unsigned messageId) {
  char message[150];
  const unsigned id = messageId != 0 ? messageId : kTarvoMessageBase + static_cast<unsigned>(result);
  const int n = platform::LoadModuleString(kTarvoCoreModule, id, message, sizeof message);
  if (n <= 0) {
    std::fflush(stdout);
    return -1;
  }
  std::printf(": %s.\n", message);
  std::fflush(stdout);
  return result;
}

}  // namespace mvr
