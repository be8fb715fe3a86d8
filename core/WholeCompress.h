#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "CompressOutcome.h"
#include "PosixFile.h"

namespace tarvo {

// Where the compressed form goes; a test hands in one that fails.
using OutputAllocator = std::unique_ptr<uint8_t[]> (*)(size_t bytes);
std::unique_ptr<uint8_t[]> AllocateOutput(size_t bytes);

// Deflates the first `size` bytes of the code file in one piece into a zlib
// stream on the end of the difference file, with libdeflate at `level`
// (1-12). Whole-buffer deflating looks further ahead than a stream can, which
// is where its smaller output at the same speed comes from; the price is
// holding the code and its compressed form in memory at once
// (WholeBufferMemory), which is why callers stream large codes instead.
CompressOutcome CompressCodeWhole(const PosixFile& codeFile, uint64_t size, int level, PosixFile& deltaFile,
                                  OutputAllocator allocate = AllocateOutput);

// The most CompressCodeWhole holds for a code of `size` bytes: the code's
// pages, its compressed form (at most about its size: the code of a
// construction never compresses to much more) and libdeflate's state at its
// strongest level.
constexpr uint64_t WholeBufferMemory(uint64_t size) { return 2 * size + (uint64_t{4} << 20); }

}  // namespace tarvo
