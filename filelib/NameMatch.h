// Comparing file names and extensions without regard to letter case.
//
// Only ASCII letters are folded. Bytes of multibyte characters are compared
// as they are, so a lead or trail byte never matches a different character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "PathStyle.h"

namespace tfl {

// Equal ignoring ASCII case, looking at no more than `limit` characters of each.
bool EqualIgnoringCase(std::string_view a, std::string_view b, std::size_t limit);

// Index of the first entry equal to the extension of `path`, or -1. The list
// ends with a null pointer; a null list counts as empty.
int CheckFileStdExtension(std::string_view path, const char* const* extensions, PathStyle style);

// Highest index of `names` equal to `name` ignoring case, or -1.
int FindNameInArray(const std::vector<std::string>& names, std::string_view name);

}  // namespace tfl
