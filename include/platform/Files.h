// Small file-system queries and temporary files.
#pragma once

#include <string>

namespace platform {

// True when something exists at path (the attribute query succeeds).
bool FileExists(const char* path);

// True when both paths name the same existing file (same device and inode).
bool SameFile(const char* a, const char* b);

// Folder for temporary files: $TMPDIR when set and not empty, else /tmp.
std::string TempDirectory();

// Creates a new, empty, uniquely named file "Mvr......" in TempDirectory(),
// open for reading and writing. Returns the descriptor and stores the name in
// *path, or returns -1 with errno set (a missing $TMPDIR folder is not replaced
// by another one).
int CreateTempFile(std::string* path);

}  // namespace platform
