// Hot loop: the matcher's search over a range of start positions. The vector
// walkers (BlockWalk.h) take the bulk of a range; the loop here takes short
// ranges, the last bytes of the original and processors without vectors.
#include "SearchScan.h"

#include "ScanState.h"

namespace tarvo {
namespace {

// One position at a time, jumping with memchr to the next equal first byte
// (every other position has length 0 and is passed by one).
uint64_t ScalarWalk(ScanState& s, uint64_t j, uint64_t end) {
  const uint8_t first = s.probe[0];
  while (j < end) {
    auto hit = static_cast<const uint8_t*>(std::memchr(s.original + j, first, end - j));
    if (hit == nullptr) return end;
    j = static_cast<uint64_t>(hit - s.original);
    const uint32_t max = std::min(s.probeLeft, static_cast<uint32_t>(s.originalSize - j));
    const uint32_t len = 1 + CommonPrefix(hit + 1, s.probe + 1, max - 1);
    if (len > s.best.length) s.best = {len, static_cast<uint32_t>(j)};
    j += len + 1;
  }
  return j;
}

using Walker = uint64_t (*)(ScanState&, uint64_t, uint64_t);

Walker PickWalker() {
#if defined(__x86_64__)
  if (__builtin_cpu_supports("avx2")) return WalkBlocksAvx2;
#endif
  return nullptr;
}

// Where the scan goes on after [j, end) when no position there starts the
// probe's first two bytes: only length-0 and length-1 steps happen, so what
// matters is the run of first-byte matches at the end, entered at its start
// (or at j) and visited every second position.
uint64_t PassWithoutPairs(const ScanState& s, uint64_t j, uint64_t end) {
  if (j >= end) return j;
  uint64_t r = end;
  while (r > j && s.original[r - 1] == s.probe[0]) --r;
  if (r == end) return end;
  return ((end - 1 - r) & 1) == 0 ? end + 1 : end;
}

uint64_t Walk(ScanState& s, uint64_t j, uint64_t end) {
  static const Walker walker = PickWalker();
  // The walker measures four-byte candidates; the last few probe bytes of the
  // modified file go through the scalar loop.
  if (walker != nullptr && s.probeLeft >= 4 && end > j + 256) j = walker(s, j, end);
  return ScalarWalk(s, j, end);
}

}  // namespace

uint64_t ScanOn(ScanState& s, uint64_t from, uint64_t to) { return Walk(s, from, to); }

Best SearchRange(const uint8_t* original, uint32_t originalSize, const uint8_t* probe,
                 uint32_t probeLeft, uint64_t start, uint64_t end, uint32_t floor) {
  ScanState s{original, originalSize, probe, probeLeft, {floor, 0}};
  Walk(s, start, end);
  return s.best;
}

Best SearchWhole(const uint8_t* original, uint32_t originalSize, const uint8_t* probe,
                 uint32_t probeLeft, uint32_t floor, const PairIndex& index) {
  if (probeLeft < 2) return SearchRange(original, originalSize, probe, probeLeft, 0, originalSize, floor);
  ScanState s{original, originalSize, probe, probeLeft, {floor, 0}};
  const uint64_t* row = index.Row(probe[0], probe[1]);
  const unsigned shift = index.StretchShift();
  uint64_t j = 0;
  for (uint64_t w = 0; w < index.RowWords(); ++w) {
    for (uint64_t m = row[w]; m != 0; m &= m - 1) {
      const uint64_t stretch = w * 64 + static_cast<unsigned>(__builtin_ctzll(m));
      const uint64_t from = stretch << shift;
      const uint64_t to = std::min<uint64_t>(originalSize, (stretch + 1) << shift);
      j = Walk(s, PassWithoutPairs(s, j, from), to);
    }
  }
  return s.best;
}

}  // namespace tarvo
