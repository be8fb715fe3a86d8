#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>

namespace tarvo {

// The checksum of version "2" files: zlib's CRC-32, started from 0.
inline uint32_t Crc32(uint32_t crc, const void* data, size_t size) {
  return static_cast<uint32_t>(crc32_z(crc, static_cast<const Bytef*>(data), size));
}

}  // namespace tarvo
