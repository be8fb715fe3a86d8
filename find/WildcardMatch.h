// Name patterns as users type them into the search dialog.
#pragma once

#include <string_view>

namespace mvrfind {

// '*' matches any run of characters, '?' exactly one; ASCII letters match in
// either case, since the size and checksum decide anyway and a renamed file
// should still be found. A pattern ending in ".*" also matches names without
// a dot, so the habitual "*.*" matches every name.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace mvrfind
