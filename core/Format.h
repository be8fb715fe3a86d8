// Field widths of the code stream and the byte order of the header.
#pragma once

#include <cstdint>
#include <bit>
#include <cstring>

#include "TarvoTypes.h"

namespace tarvo {

// Bytes needed to hold n: 0 for 0, then 1..4; powers of 256 take the next width.
constexpr unsigned Width(uint32_t n) {
  return n == 0 ? 0u : n <= 0xFFu ? 1u : n <= 0xFFFFu ? 2u : n <= 0xFFFFFFu ? 3u : 4u;
}

struct FieldWidths {
  unsigned offset;      // WO: copy offsets and the insert marker
  unsigned copyLength;  // WL
  unsigned insertLength;  // WI
};

constexpr FieldWidths WidthsFor(uint32_t originalSize, uint32_t modifiedSize) {
  return {Width(originalSize), Width(originalSize < modifiedSize ? originalSize : modifiedSize),
          Width(modifiedSize)};
}

// The longest match not worth a copy record: every copy is longer than this
// (it must pay for its record twice over, plus a margin), which every writer
// keeps and readers may rely on.
constexpr uint32_t LongestUncopyable(FieldWidths w) { return 2 * (w.offset + w.copyLength) + 5; }

inline void PutLE(uint8_t* p, uint32_t v, unsigned width) {
  for (unsigned i = 0; i < width; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint32_t GetLE(const uint8_t* p, unsigned width) {
  uint32_t v = 0;
  for (unsigned i = 0; i < width; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return v;
}

// The header's on-disk bytes. Only little-endian hosts are built, where the
// packed struct already has the disk layout.
static_assert(std::endian::native == std::endian::little);
inline void HeaderToBytes(const TypeHeadDeltaFile& h, uint8_t out[kDeltaHeaderSize]) {
  std::memcpy(out, &h, kDeltaHeaderSize);
}
inline TypeHeadDeltaFile HeaderFromBytes(const uint8_t* in) {
  TypeHeadDeltaFile h;
  std::memcpy(&h, in, kDeltaHeaderSize);
  return h;
}

}  // namespace tarvo
