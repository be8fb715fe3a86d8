#include "MvrCodec.h"

#include <zlib.h>

#ifdef MVR_HAVE_ISAL
#include <isa-l/crc.h>
#endif

#include "DclCrc32.h"

uint32_t MvrCrc32Zlib(uint32_t crc, const void* data, size_t size) {
  return static_cast<uint32_t>(crc32_z(crc, static_cast<const Bytef*>(data), size));
}

uint32_t MvrCrc32(uint32_t crc, const void* data, size_t size) {
#ifdef MVR_HAVE_ISAL
  // The reflected polynomial with zlib's inversions on entry and exit, so a
  // running value carries over from one piece to the next exactly as in zlib.
  return crc32_gzip_refl(crc, static_cast<const unsigned char*>(data), size);
#else
  return MvrCrc32Zlib(crc, data, size);
#endif
}

bool MvrKnownVersion(char version) { return version == '1' || version == '2'; }

uint32_t MvrChecksum(char version, uint32_t crc, const void* data, size_t size) {
  switch (version) {
    case '2':
      return MvrCrc32(crc, data, size);
    case '1':
      return mvrcodec::DclCrc32(crc, data, size);
    default:
      return crc;
  }
}
