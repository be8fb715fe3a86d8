// The checksum of a file that might be the original, by the routine a
// difference file's version byte selects.
#pragma once

#include <cstdint>
#include <string>

namespace mvrfind {

enum class ReadOutcome { Ok, CannotOpen, ReadError };

// Folds the whole file into a checksum that starts at 0, in pieces of 64 KiB.
// *crc is set only on Ok.
ReadOutcome ChecksumFile(const std::string& path, char version, uint32_t* crc);

}  // namespace mvrfind
