#pragma once

#include "PosixFile.h"

namespace tarvo {

// Deflates the whole code file (from its start) at level 9 onto the end of the
// difference file as one zlib stream. Returns false on a genuine read, write
// or zlib failure; running out of input is the normal end, not a failure.
bool CompressCode(PosixFile& codeFile, PosixFile& deltaFile);

}  // namespace tarvo
