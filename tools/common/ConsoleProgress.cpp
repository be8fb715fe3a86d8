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

std::string PrintableName(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  for (size_t i = 0; i < name.size();) {
    const auto lead = static_cast<unsigned char>(name[i]);
    // Length of a well-formed UTF-8 sequence starting here, 0 if none.
    size_t len = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    uint32_t cp = len == 1 ? lead : len == 2 ? (lead & 0x1Fu) : len == 3 ? (lead & 0x0Fu) : (lead & 0x07u);
    for (size_t k = 1; k < len; ++k) {
      const auto c = i + k < name.size() ? static_cast<unsigned char>(name[i + k]) : 0;
      if ((c & 0xC0) != 0x80) {
        len = 0;
        break;
      }
      cp = cp << 6 | (c & 0x3Fu);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF));
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
    if (len == 0 || overlong || surrogate || control) {
      shown += '?';
      i += len == 0 ? 1 : len;
      continue;
    }
    shown.append(name.substr(i, len));
    i += len;
  }
  return shown;
}

int FinishWithMessage(E_TARVO_ERROR result) {
  char message[150];
  const int n = platform::LoadModuleString(kTarvoCoreModule, kTarvoMessageBase + static_cast<unsigned>(result),
                                           message, sizeof message);
  if (n <= 0) {
    std::fflush(stdout);
    return -1;
  }
  std::printf(": %s.\n", message);
  std::fflush(stdout);
  return result;
}

}  // namespace mvr
