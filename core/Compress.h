#pragma once

#include "CodePipe.h"
#include "PosixFile.h"

namespace tarvo {

// Deflates the code file at level 9 onto the end of the difference file as one
// zlib stream, reading behind the writer as the pipe publishes. Returns false
// on a genuine read, write or zlib failure, or when the writer aborted;
// running out of input is the normal end, not a failure.
bool CompressCode(const PosixFile& codeFile, CodePipe& pipe, PosixFile& deltaFile);

}  // namespace tarvo
