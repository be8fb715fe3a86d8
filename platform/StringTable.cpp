#include "platform/StringTable.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace platform {

int LoadModuleString(const char* module, unsigned id, char* buf, int cap) {
  if (buf == nullptr || cap <= 0) return 0;
  buf[0] = '\0';
  // Only a library that is already loaded is asked, as a module handle lookup
  // would; nothing is loaded on demand. The table is found by its symbol
  // among the loaded modules, not by the library's file name, which a
  // version suffix or a private folder changes.
  const std::string symbol = std::string(module) + "_GetString";
  using GetString = const char* (*)(unsigned);
  auto fn = reinterpret_cast<GetString>(::dlsym(RTLD_DEFAULT, symbol.c_str()));
  const char* text = fn != nullptr ? fn(id) : nullptr;
  int n = 0;
  if (text != nullptr) {
    n = static_cast<int>(std::min<size_t>(std::strlen(text), static_cast<size_t>(cap - 1)));
    std::memcpy(buf, text, static_cast<size_t>(n));
    buf[n] = '\0';
  }
  return n;
}

}  // namespace platform
