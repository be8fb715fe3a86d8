// The rule for names taken from a difference file. The file may come from a
// stranger, so a recorded name may say where in our folders something is
// written only by its base name, and only beside the difference file itself.
#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// The last component of a recorded name, split at '/' and '\\': a file made
// on either system names its file the same way.
std::string_view RecordedBaseName(std::string_view recorded);

// A base name that may be created: not empty, ".", "..", and no control
// character (C0, DEL).
bool IsSafeBaseName(std::string_view base);

// Names are bytes with their length: an embedded NUL is part of the name,
// which is then refused, never cut short.

// The recorded modified name's base name, the one entry it may create in
// the folder that takes it, or "" when the name is refused.
std::string_view RecordedTargetBase(std::string_view recorded);

// The recorded modified name's base name in the difference file's folder,
// or "" when the name is refused.
std::string RecordedTargetPath(std::string_view deltaPath, std::string_view recorded);

// The recorded path of the original where it is a name of this system and
// something is there; else its base name beside the difference file.
std::string RecordedOriginalPath(std::string_view deltaPath, std::string_view recorded);

}  // namespace tarvo
