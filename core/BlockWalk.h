// The block walk of the search, for any way of computing the candidate mask.
//
// The scan visits j, then j + len + 1 where len is the match length at j. A
// position can become the best match only if it matches at least four bytes
// (the matcher's minimum is longer), so only such "deep" positions are
// measured; the mask finds them 64 at a time. Shorter matches still steer
// the scan (a length-L position skips the L positions after it), so whether
// a deep position k is visited is settled by replaying the scan over the few
// positions before k, starting from a point the scan is known to visit:
// either its current position, or a "sync" position s, one whose three
// predecessors cannot reach it (lengths 0, at most 1, at most 2 at distances
// 1, 2, 3). Every length met on the way is below four, so the replay only
// looks at up to three bytes per position.
//
// Cost. Every replay that finds a deep position passed over moves `next` to
// the position the scan lands on, which is at or past that deep position; a
// replay walks back no further than `next` and forward no further than its
// target. So the stretches replays walk are disjoint: each position of the
// range is looked at by at most one replay, backwards once and forwards
// once, at most kDeep - 1 bytes each time, whatever the bytes. (Replaying
// every deep position from the same `next` instead cost the square of the
// distance between visited positions in runs of one byte value: in blocks of
// 20 equal bytes the replays took most of the time of the search.) Measured
// deep positions cost their common prefix, and a visited position's prefix
// ends where the next visited one starts, so those bytes too are compared
// once. A search of the range is therefore linear in its length; the
// matcher bounds how many such searches each probe makes, and
// bench/README.md gives what they cost on the hardest inputs we know.
//
// Included by one source file per instruction set; Masks supplies
//   uint64_t Deep(const uint8_t* p)   bit i: p[i..i+3] == probe[0..3]
#pragma once

#include "ScanState.h"

namespace tarvo {
namespace {

constexpr unsigned kDeep = 4;

// Match length at p, counted up to kDeep - 1.
inline unsigned ShortLength(const ScanState& s, uint64_t p) {
  const uint64_t room = std::min<uint64_t>({kDeep - 1, s.probeLeft, s.originalSize - p});
  unsigned n = 0;
  while (n < room && s.original[p + n] == s.probe[n]) ++n;
  return n;
}

// True when nothing visited before s can skip it.
inline bool IsSync(const ScanState& s, uint64_t next, uint64_t p) {
  for (unsigned d = 1; d < kDeep && p >= next + d; ++d) {
    if (ShortLength(s, p - d) >= d) return false;
  }
  return true;
}

// The first position at or after `target` that the scan visits, given that
// it visits `next` (<= target) and that no deep position in [next, target)
// is visited.
inline uint64_t Replay(const ScanState& s, uint64_t next, uint64_t target) {
  uint64_t p = target;
  while (p > next && !IsSync(s, next, p)) --p;
  while (p < target) p += ShortLength(s, p) + 1;
  return p;
}

template <typename Masks>
inline uint64_t WalkBlocks(ScanState& s, uint64_t base, uint64_t end, const Masks& masks) {
  const uint8_t* const original = s.original;
  const uint8_t* const probe = s.probe;
  const uint32_t originalSize = s.originalSize, probeLeft = s.probeLeft;
  uint64_t next = base;  // a position the scan visits; all before it are done
  // Whole blocks inside [.., end) whose masks can read kDeep - 1 bytes on.
  const uint64_t limit = std::min<uint64_t>(end, originalSize - (kDeep - 1));
  while (base + 64 <= limit) {
    uint64_t deep = masks.Deep(original + base);
    if (next > base) deep &= ~uint64_t{0} << (next - base);
    while (deep != 0) {
      const uint64_t k = base + static_cast<unsigned>(__builtin_ctzll(deep));
      deep &= deep - 1;
      const uint64_t visited = Replay(s, next, k);
      if (visited != k) {
        // k is passed over and the scan lands on `visited`: the replay
        // towards the next deep position starts there, not at the old
        // `next` again (see the cost note at the top).
        next = visited;
        if (next >= base + 64) break;
        deep &= ~uint64_t{0} << (next - base);
        continue;
      }
      const uint32_t max = std::min(probeLeft, static_cast<uint32_t>(originalSize - k));
      const uint32_t len = kDeep + CommonPrefix(original + k + kDeep, probe + kDeep, max - kDeep);
      if (len > s.best.length) s.best = {len, static_cast<uint32_t>(k)};
      next = k + len + 1;
      if (next >= base + 64) break;
      deep &= ~uint64_t{0} << (next - base);
    }
    base = std::max(base + 64, next);
  }
  return next >= base ? next : Replay(s, next, base);
}

}  // namespace
}  // namespace tarvo
