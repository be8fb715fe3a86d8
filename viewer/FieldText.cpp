#include "FieldText.h"

#include "Utf8.h"

#include <cstdio>

#include <locale.h>

#include <charconv>

namespace mvrview {

std::string FormatKb(uint32_t bytes) {
  // to_chars ignores the locale, where printf's "%.2f" would write "0,98"
  // for users whose numbers use a decimal comma.
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, bytes / 1024.0, std::chars_format::fixed, 2);
  return std::string(text, end.ptr) + " Kb";
}

std::string FormatConstructionTime(std::time_t when) {
  std::tm local{};
  if (::localtime_r(&when, &local) == nullptr) return {};
  // Names of days and months from the C locale, which are English.
  const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  if (c == static_cast<locale_t>(nullptr)) return {};
  char text[128];
  const std::size_t length = ::strftime_l(text, sizeof text, "%A, %b %d, %Y ,  %I:%M %p", &local, c);
  ::freelocale(c);
  return std::string(text, length);
}

}  // namespace mvrview

namespace mvrview {
namespace {

// Characters of the Unicode "format" category, and the controls.
bool IsHidden(uint32_t cp) {
  static constexpr struct { uint32_t first, last; } kRanges[] = {
      {0x0000, 0x001F}, {0x007F, 0x009F}, {0x00AD, 0x00AD}, {0x0600, 0x0605}, {0x061C, 0x061C},
      {0x06DD, 0x06DD}, {0x070F, 0x070F}, {0x0890, 0x0891}, {0x08E2, 0x08E2}, {0x180E, 0x180E},
      {0x200B, 0x200F}, {0x2028, 0x202E}, {0x2060, 0x2064}, {0x2066, 0x206F}, {0xFEFF, 0xFEFF},
      {0xFFF9, 0xFFFB}, {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F},
      {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
  };
  for (const auto& r : kRanges) {
    if (cp >= r.first && cp <= r.last) return true;
  }
  return false;
}

}  // namespace

std::string VisibleName(const std::string& name) {
  std::string shown;
  for (size_t i = 0; i < name.size();) {
    uint32_t cp = 0;
    const size_t len = mvr::DecodeUtf8(name, i, &cp);
    if (len == 0) {  // not UTF-8: passed on as it is
      shown += name[i++];
      continue;
    }
    if (IsHidden(cp)) {
      char mark[16];
      std::snprintf(mark, sizeof mark, "<U+%04X>", static_cast<unsigned>(cp));
      shown += mark;
    } else {
      shown.append(name, i, len);
    }
    i += len;
  }
  return shown;
}

}  // namespace mvrview
