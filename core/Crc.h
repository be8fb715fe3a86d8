#pragma once

#include <cstddef>
#include <cstdint>

#include "MvrCodec.h"

namespace tarvo {

// The checksum of version "2" files: zlib's CRC-32, started from 0.
inline uint32_t Crc32(uint32_t crc, const void* data, size_t size) { return MvrCrc32(crc, data, size); }

}  // namespace tarvo
