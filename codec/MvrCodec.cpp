#include "MvrCodec.h"

#include <zlib.h>

#include "DclCrc32.h"

bool MvrKnownVersion(char version) { return version == '1' || version == '2'; }

uint32_t MvrChecksum(char version, uint32_t crc, const void* data, size_t size) {
  switch (version) {
    case '2':
      return static_cast<uint32_t>(crc32_z(crc, static_cast<const Bytef*>(data), size));
    case '1':
      return mvrcodec::DclCrc32(crc, data, size);
    default:
      return crc;
  }
}
