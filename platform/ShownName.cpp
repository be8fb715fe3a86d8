#include "platform/ShownName.h"

#include <cstdint>

#include "Utf8.h"

namespace platform {
namespace {

// Whether the character starting at name[at] may be shown as it is; its
// length in *length either way (1 for a byte that is not UTF-8).
bool Printable(std::string_view name, size_t at, size_t* length) {
  uint32_t cp = 0;
  const size_t len = mvr::DecodeUtf8(name, at, &cp);
  *length = len == 0 ? 1 : len;
  if (len == 0) return false;
  const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
  const bool breaksLine = cp == 0x2028 || cp == 0x2029;
  return !control && !breaksLine && cp != '\'';
}

void Escape(std::string_view bytes, std::string* out) {
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\t': *out += "\\t"; break;
      case '\n': *out += "\\n"; break;
      case '\r': *out += "\\r"; break;
      case '\'': *out += "\\'"; break;
      default:
        *out += '\\';
        *out += static_cast<char>('0' + (c >> 6));
        *out += static_cast<char>('0' + ((c >> 3) & 7));
        *out += static_cast<char>('0' + (c & 7));
    }
  }
}

}  // namespace

std::string ShownName(std::string_view name) {
  bool plain = !name.empty();
  for (size_t i = 0, len = 0; plain && i < name.size(); i += len) plain = Printable(name, i, &len);
  if (plain) return std::string(name);
  if (name.empty()) return "''";

  std::string shown;
  shown.reserve(name.size() + 8);
  for (size_t i = 0; i < name.size();) {
    size_t len = 0;
    const size_t start = i;
    const bool printable = Printable(name, i, &len);
    while (i < name.size() && Printable(name, i, &len) == printable) i += len;
    shown += printable ? "'" : "$'";
    if (printable) {
      shown.append(name.substr(start, i - start));
    } else {
      Escape(name.substr(start, i - start), &shown);
    }
    shown += '\'';
  }
  return shown;
}

}  // namespace platform
