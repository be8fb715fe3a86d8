#include "NameMatch.h"

#include <algorithm>
#include <limits>

#include "PathLimits.h"
#include "PathSplit.h"

namespace tfl {
namespace {

// Not tolower(): the result must not change with the process locale.
constexpr char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualIgnoringCase(std::string_view a, std::string_view b, std::size_t limit) {
  a = a.substr(0, std::min(a.size(), limit));
  b = b.substr(0, std::min(b.size(), limit));
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

int CheckFileStdExtension(std::string_view path, const char* const* extensions, PathStyle style) {
  if (extensions == nullptr) return -1;
  std::string extension = SplitPath(path, style).extension;
  for (int i = 0; extensions[i] != nullptr; ++i) {
    if (EqualIgnoringCase(extension, extensions[i], kMaxExtension)) return i;
  }
  return -1;
}

int FindNameInArray(const std::vector<std::string>& names, std::string_view name) {
  // Indices are ints at the interface; a longer array cannot be searched.
  if (names.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return -1;
  for (std::size_t i = names.size(); i-- > 0;) {
    if (EqualIgnoringCase(names[i], name, std::string_view::npos)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tfl
