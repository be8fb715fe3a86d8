#pragma once

#include "PosixFile.h"

namespace tarvo {

// Deflates the first `size` bytes of the code file in one piece into a zlib
// stream on the end of the difference file, with libdeflate at `level`
// (1-12). Whole-buffer deflating looks further ahead than a stream can, which
// is where its smaller output at the same speed comes from; the price is
// holding the code and its compressed form in memory at once. Returns false
// on a read, write or memory failure.
bool CompressCodeWhole(const PosixFile& codeFile, uint64_t size, int level, PosixFile& deltaFile);

}  // namespace tarvo
