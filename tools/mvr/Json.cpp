#include "Json.h"

#include <cstdint>
#include <cstdio>

#include "Utf8.h"

namespace mvrcli {

bool IsUtf8(std::string_view s) {
  uint32_t cp = 0;
  for (size_t i = 0, len = 0; i < s.size(); i += len) {
    len = mvr::DecodeUtf8(s, i, &cp);
    if (len == 0) return false;
  }
  return true;
}

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  out.reserve(s.size() + 2);
  for (size_t i = 0; i < s.size();) {
    uint32_t cp = 0;
    const size_t len = mvr::DecodeUtf8(s, i, &cp);
    if (len == 0) {
      out += "\xef\xbf\xbd";  // U+FFFD
      ++i;
      continue;
    }
    if (cp == '"' || cp == '\\') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp == '\n') {
      out += "\\n";
    } else if (cp == '\t') {
      out += "\\t";
    } else if (cp == '\r') {
      out += "\\r";
    } else if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029) {
      // Raw, these are valid JSON, but a terminal or a JavaScript reader
      // would act on them.
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(cp));
      out += escape;
    } else {
      out.append(s.substr(i, len));
    }
    i += len;
  }
  out += '"';
  return out;
}

std::string JsonName(std::string_view key, std::string_view s) {
  std::string out = JsonString(key) + ":" + JsonString(s);
  if (IsUtf8(s)) return out;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    hex += kHex[c >> 4];
    hex += kHex[c & 15];
  }
  out += ",";
  out += JsonString(std::string(key) + "_hex");
  out += ":\"" + hex + "\"";
  return out;
}

}  // namespace mvrcli
