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

}  // namespace

Best SearchRange(const uint8_t* original, uint32_t originalSize, const uint8_t* probe,
                 uint32_t probeLeft, uint64_t start, uint64_t end, uint32_t floor) {
  static const Walker walker = PickWalker();
  ScanState s{original, originalSize, probe, probeLeft, {floor, 0}};
  uint64_t j = start;
  // With one byte left to match every equal first byte has length 1, which
  // the scalar loop handles without a second-byte mask.
  if (walker != nullptr && probeLeft > 1 && end > start + 256) j = walker(s, j, end);
  ScalarWalk(s, j, end);
  return s.best;
}

}  // namespace tarvo
