// Reading UTF-8 one character at a time, for the places that show names
// taken from files: header-only, so programs that link nothing can use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mvr {

// Length (1 to 4) of the well-formed UTF-8 sequence that starts at s[i],
// with its code point in *cp; 0 when the bytes there are not UTF-8 (a stray
// or truncated sequence, an overlong form, a surrogate, past U+10FFFF).
inline std::size_t DecodeUtf8(std::string_view s, std::size_t i, uint32_t* cp) {
  const auto lead = static_cast<unsigned char>(s[i]);
  const std::size_t len = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  uint32_t v = len == 1 ? lead : len == 2 ? (lead & 0x1Fu) : len == 3 ? (lead & 0x0Fu) : (lead & 0x07u);
  for (std::size_t k = 1; k < len; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    v = v << 6 | (c & 0x3Fu);
  }
  const bool overlong = (len == 3 && v < 0x800) || (len == 4 && v < 0x10000);
  if (overlong || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  *cp = v;
  return len;
}

}  // namespace mvr
