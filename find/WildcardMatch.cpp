#include "WildcardMatch.h"

#include <cstddef>

namespace mvrfind {

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Greedy match that backtracks only to the last '*': linear in practice and
// never recursive, whatever the user types.
bool Glob(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (Glob(pattern, name)) return true;
  if (pattern.size() >= 2 && pattern.ends_with(".*") && name.find('.') == std::string_view::npos) {
    return Glob(pattern.substr(0, pattern.size() - 2), name);
  }
  return false;
}

}  // namespace mvrfind
