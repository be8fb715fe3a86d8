#pragma once

#include "CodePipe.h"
#include "CompressOutcome.h"
#include "PosixFile.h"

namespace tarvo {

// Deflates the code file at level 9 onto the end of the difference file as one
// zlib stream, reading behind the writer as the pipe publishes. Running out
// of input is the normal end, not a failure. Its memory is two buffers and
// zlib's state, whatever the size of the code.
CompressOutcome CompressCode(const PosixFile& codeFile, CodePipe& pipe, PosixFile& deltaFile);

}  // namespace tarvo
