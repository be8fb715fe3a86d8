#include "FieldText.h"

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
