// The checksum of a file that might be the original, by the routine a
// difference file's version byte selects.
#pragma once

#include <cstdint>
#include <string>

namespace mvrfind {

enum class ReadOutcome { Ok, CannotOpen, ReadError };

// Folds the whole file into a checksum that starts at 0, in pieces of 64 KiB.
// *crc is set only on Ok. Only a regular file of exactly `size` bytes is
// read; anything else at path now (a FIFO, a device, a link, a file of
// another size swapped in since the walk looked) is CannotOpen, without a
// byte read and without blocking.
ReadOutcome ChecksumFile(const std::string& path, char version, uint64_t size, uint32_t* crc);

}  // namespace mvrfind
