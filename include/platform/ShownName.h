// How every program shows a name it did not choose (one recorded in a
// difference file, one found by walking a tree, one typed on a command line)
// to a person, on a terminal or in a log: the name can neither move the
// cursor, retitle the window, forge a line, nor be mistaken for another name.
//
// The style is the shell's $'...' quoting, as GNU ls uses it:
// - a name of printable UTF-8 characters without a ' is shown as it is;
// - any other name is shown quoted: runs of printable characters inside
//   '...', and everything else inside $'...' as escapes: \t, \n, \r, \' for
//   the quote, and \NNN (three octal digits) for every other byte that is a
//   control (C0, DEL, C1 written as UTF-8), part of a character that breaks a
//   line (U+2028, U+2029) or not UTF-8 at all (stray, truncated or overlong
//   sequences, surrogates). So "a\x1b[2Jb" is shown as 'a'$'\033''[2Jb',
//   "it's" as 'it'$'\'''s', and the empty name as ''.
// Pasted into a POSIX shell, the shown text is the name again, byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string ShownName(std::string_view name);

}  // namespace platform
