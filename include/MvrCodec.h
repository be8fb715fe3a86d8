// What the format version byte of a difference file selects: the checksum
// routine used for all of its checksums (and, in the core, the decompressor).
// One implementation for every reader, so that the finder and reconstruction
// can never disagree about a file.
#pragma once

#include <cstddef>
#include <cstdint>

// True for the versions readers accept: '1' and '2'.
bool MvrKnownVersion(char version);

// Folds data into a running checksum that starts at 0. Version '2' is zlib's
// CRC-32; version '1' the same reflected polynomial without the initial and
// final inversion. Other versions return crc unchanged.
uint32_t MvrChecksum(char version, uint32_t crc, const void* data, size_t size);

// zlib's CRC-32 (the version '2' checksum) by the fastest routine this build
// has, continuing from crc (0 to start).
uint32_t MvrCrc32(uint32_t crc, const void* data, size_t size);

// The same values from zlib itself, in every build: what the faster routine
// is held to.
uint32_t MvrCrc32Zlib(uint32_t crc, const void* data, size_t size);
