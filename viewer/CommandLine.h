// The viewer's command line: one file name, whatever it contains.
#pragma once

#include <string>

namespace mvrview {

// Everything after the program name as one file name: the words joined with
// single spaces, so an unquoted path with spaces still names its file.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace mvrview
