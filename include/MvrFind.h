// Finds the original file of a difference file when it is no longer where the
// difference file says: by name pattern, then by the recorded size and
// checksum, in a folder tree the user picks in the dialog "Search for the
// Original File".
#pragma once

#include <string>

#include "TarvoTypes.h"

#if defined(MVRFIND_BUILD)
#define MVRFIND_API __attribute__((visibility("default")))
#else
#define MVRFIND_API
#endif

class QWidget;

// Outcome of FindReferenceFile and of one search pass in the dialog. Any
// negative value is a read error on a candidate file.
enum CMvrFindResult : int {
  MVRFIND_FOUND = 0,
  MVRFIND_CANCELLED = 1,  // the user closed the dialog, or stopped a search
  MVRFIND_NOT_FOUND = 2,  // the whole tree was searched
  MVRFIND_DISK_ERROR = -1,
};

// Returns MVRFIND_FOUND at once, with originalFile in foundPath, when
// something other than a folder exists under that name (its contents are not
// checked: reconstruction does that). Otherwise asks the user where to search
// for a file whose size and checksum are the recorded ones; the checksum
// routine is the one header's version byte selects. Returns MVRFIND_FOUND
// with the path in foundPath, or MVRFIND_CANCELLED with foundPath untouched.
// The dialog is centred on owner, or on the active window when owner is null.
// Paths are bytes in the local encoding, as the file system has them.
MVRFIND_API CMvrFindResult FindReferenceFile(const char* originalFile, unsigned long size,
                                             unsigned long checksum,
                                             const TypeHeadDeltaFile& header,
                                             std::string& foundPath, QWidget* owner = nullptr);
