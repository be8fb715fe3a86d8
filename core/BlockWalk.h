// The block walk of the search, for any way of computing the two masks.
//
// The scan visits j, then j + len + 1 where len is the match length at j, so:
//   first byte differs            -> len 0, the next position follows
//   first byte equal, second not  -> len 1, one position is skipped
//   first two bytes equal         -> measured, skipped past
// Only positions of the third kind ("deep") can become the best match.
// Whether a deep position k is visited follows from the run of
// equal-first-byte positions that ends at k: the scan enters the run at
// max(run start, next) and, those positions having length 1, visits every
// second one from there. So each step needs the deep mask, and the
// first-byte mask only where a run matters.
//
// Included by one source file per instruction set; Masks supplies
//   uint64_t Deep(const uint8_t* p)   bit i: p[i] == probe[0] && p[i+1] == probe[1]
//   uint64_t First(const uint8_t* p)  bit i: p[i] == probe[0]
#pragma once

#include "ScanState.h"

namespace tarvo {
namespace {

template <typename Masks>
inline uint64_t WalkBlocks(ScanState& s, uint64_t base, uint64_t end, const Masks& masks) {
  const uint8_t* const original = s.original;
  const uint8_t* const probe = s.probe;
  const uint32_t originalSize = s.originalSize, probeLeft = s.probeLeft;
  Best best = s.best;
  uint64_t next = base;      // the scan's next position
  uint64_t runStart = base;  // start of the run that reaches into this block
  uint64_t lastFirst = 0;    // first-byte mask of the block before, when contiguous
  // Whole blocks inside [.., end) that can read one byte past their end; the
  // caller's scalar loop takes the rest.
  const uint64_t limit = std::min<uint64_t>(end, originalSize - 1);
  while (base + 64 <= limit) {
    const uint8_t* p = original + base;
    uint64_t deep = masks.Deep(p);
    const uint64_t first = (deep != 0 || p[63] == probe[0]) ? masks.First(p) : 0;
    if (next > base) deep &= ~uint64_t{0} << (next - base);
    while (deep != 0) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctzll(deep));
      const uint64_t k = base + bit;
      deep &= deep - 1;
      const uint64_t gaps = ~first & ((uint64_t{1} << bit) - 1);
      const uint64_t start = gaps != 0 ? base + 64 - static_cast<unsigned>(__builtin_clzll(gaps)) : runStart;
      if (((k - std::max(start, next)) & 1) != 0) continue;  // skipped by a length-1 position
      const uint32_t max = std::min(probeLeft, static_cast<uint32_t>(originalSize - k));
      const uint32_t len = 2 + CommonPrefix(original + k + 2, probe + 2, max - 2);
      if (len > best.length) best = {len, static_cast<uint32_t>(k)};
      next = k + len + 1;
      if (next >= base + 64) break;
      deep &= ~uint64_t{0} << (next - base);
    }
    if (next >= base + 64) {  // may leave the range; the loop then ends
      base = next;
      runStart = next;
      lastFirst = 0;
    } else {
      const uint64_t gaps = ~first;
      if ((first >> 63) == 0) {
        runStart = base + 64;
      } else if (gaps != 0) {
        runStart = base + 64 - static_cast<unsigned>(__builtin_clzll(gaps));
      }
      lastFirst = first;
      base += 64;
    }
  }
  s.best = best;
  if (next >= base) return next;
  // A run that reaches past the blocks: its last position was visited (with
  // length 1) exactly when it lies an even distance after where the scan entered.
  if ((lastFirst >> 63) != 0 && ((base - 1 - std::max(runStart, next)) & 1) == 0) return base + 1;
  return base;
}

}  // namespace
}  // namespace tarvo
