// State shared by the search loops of SearchScan.cpp and the vector walkers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "SearchScan.h"

namespace tarvo {

struct ScanState {
  const uint8_t* original;
  uint32_t originalSize;
  const uint8_t* probe;  // at least 2 bytes when a vector walker runs
  uint32_t probeLeft;
  Best best;
};

// Vector walker: finds four-byte candidates 64 positions per step and returns
// the position the scan goes on from. It takes whole blocks only, each able
// to read three bytes past its end; probeLeft must be at least 4.
// (A 512-bit variant measured slower than this one on the machines we build on.)
uint64_t WalkBlocksAvx2(ScanState& s, uint64_t start, uint64_t end);

// The direct scan from `from`, a position it visits, up to `to`: records the
// best match met on the way and returns the first position at or after `to`
// that it visits.
uint64_t ScanOn(ScanState& s, uint64_t from, uint64_t to);

namespace {  // internal linkage: each file may compile these for another CPU

inline uint32_t CommonPrefix(const uint8_t* a, const uint8_t* b, uint32_t max) {
  uint32_t n = 0;
  while (max - n >= 8) {
    uint64_t x, y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) return n + static_cast<uint32_t>(__builtin_ctzll(x ^ y) >> 3);
    n += 8;
  }
  while (n < max && a[n] == b[n]) ++n;
  return n;
}

}  // namespace
}  // namespace tarvo
