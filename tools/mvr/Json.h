// JSON text for names that may be any bytes. Strings are always valid UTF-8
// that a strict parser accepts: controls, DEL, C1 controls and U+2028/U+2029
// are \u escapes, and a byte that is not UTF-8 becomes U+FFFD. Since that
// loses the name, a member for a name that is not UTF-8 is followed by one
// with "_hex" added to its key and the exact bytes as lowercase hex, so a
// script can still reach the file.
#pragma once

#include <string>
#include <string_view>

namespace mvrcli {

// The JSON string for s, quotes included.
std::string JsonString(std::string_view s);
// "key":"s", and ,"key_hex":"..." when s is not UTF-8.
std::string JsonName(std::string_view key, std::string_view s);
// Whether every byte of s belongs to a well-formed UTF-8 character.
bool IsUtf8(std::string_view s);

}  // namespace mvrcli
