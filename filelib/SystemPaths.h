// The two paths only the system can tell: the current folder and the program.
#pragma once

#include <cstddef>
#include <string>

namespace tfl {

// False when the folder does not fit `bufferSize` bytes with its terminator.
bool ReadCurrentFolder(std::string* folder, std::size_t bufferSize);

// Full path of the running program; false when it cannot be read or does not
// fit kMaxPath bytes.
bool ReadProgramPath(std::string* path);

}  // namespace tfl
