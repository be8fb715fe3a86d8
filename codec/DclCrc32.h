#pragma once

#include <cstddef>
#include <cstdint>

namespace mvrcodec {

// The checksum of version '1' files: reflected CRC-32, polynomial 0xEDB88320,
// table-driven, with no initial and no final inversion.
uint32_t DclCrc32(uint32_t crc, const void* data, size_t size);

}  // namespace mvrcodec
