// Which candidates the scan visits.
//
// The scan visits a start position j, then j + len(j) + 1: a visited position
// passes over the len(j) positions after it. Only a "candidate", a position
// matching more than `floor` bytes, can raise the best match; every other
// position matches at most floor bytes and so passes over at most the floor
// positions after it. The index names every candidate, so between a position
// `next` that the scan is known to visit and the next candidate c, all
// positions are of the other kind, and c is visited exactly when none of the
// visited ones among them passes over c.
//
// Looking back from c settles it without walking from `next`: call p a "sync"
// position when none of the floor positions before it (those not before
// `next`) passes over it, i.e. len(p - d) < d for d = 1 .. floor. The scan
// visits every sync position: the last position it visits before p cannot
// pass over p, so it lands on p. From the nearest sync position at or before
// c the scan is replayed forward to c; every length on the way is at most
// floor, so each needs at most floor + 1 byte comparisons. Where no sync
// position turns up close to c (long stretches of short matches, as in runs
// of one byte value), the direct scan walks from `next` to c instead.
//
// A visited candidate's full length then sets where the scan goes on; a
// candidate that is not visited leaves the scan at the first visited
// position after it.
#include "IndexedSearch.h"

#include <algorithm>
#include <cstring>

#include "ScanState.h"

namespace tarvo {
namespace {

// How far back from a candidate a sync position is looked for, in multiples
// of floor, before the direct scan takes over.
constexpr uint64_t kSyncSearchFloors = 4;

// Match length at p, counted up to `cap`.
uint32_t LengthUpTo(const ScanState& s, uint64_t p, uint32_t cap) {
  const uint64_t room = std::min<uint64_t>({cap, s.probeLeft, s.originalSize - p});
  uint32_t n = 0;
  while (n < room && s.original[p + n] == s.probe[n]) ++n;
  return n;
}

bool IsSync(const ScanState& s, uint64_t next, uint64_t p, uint32_t floor) {
  for (uint32_t d = 1; d <= floor && p >= next + d; ++d) {
    if (LengthUpTo(s, p - d, d) >= d) return false;
  }
  return true;
}

// The first position at or after c that the scan visits, given that it
// visits next <= c and that no position in [next, c) matches more than floor
// bytes.
uint64_t FirstVisitedFrom(ScanState& s, uint64_t next, uint64_t c, uint32_t floor) {
  const uint64_t lowest = c - std::min<uint64_t>(c - next, kSyncSearchFloors * floor);
  uint64_t p = c;
  while (p > next && !IsSync(s, next, p, floor)) {
    if (p == lowest) return ScanOn(s, next, c);
    --p;
  }
  while (p < c) p += LengthUpTo(s, p, floor) + 1;
  return p;
}

}  // namespace

CandidateLookup::CandidateLookup(const CandidateIndex& index, uint32_t originalSize, const uint8_t* probe,
                                 uint32_t probeLeft, uint64_t start, uint64_t end, uint32_t floor)
    : originalSize_(originalSize), probe_(probe), probeLeft_(probeLeft), start_(start), floor_(floor) {
  const uint64_t need = uint64_t{floor} + 1;
  end_ = std::min<uint64_t>(end, originalSize >= need ? originalSize - need + 1 : 0);
  // Without floor + 1 probe bytes nothing can beat the floor.
  if (probeLeft < need || start_ >= end_) return;
  steps_ = index.SampleStep();
  for (uint32_t d = 0; d < steps_; ++d) index.Prefetch(probe + d);
  for (uint32_t d = 0; d < steps_; ++d) {
    const auto bucket = index.Bucket(probe + d);
    const uint32_t* from = std::lower_bound(bucket.data(), bucket.data() + bucket.size(), start_ + d,
                                            [](uint32_t a, uint64_t b) { return a < b; });
    const uint32_t* to = std::lower_bound(from, bucket.data() + bucket.size(), end_ + d,
                                          [](uint32_t a, uint64_t b) { return a < b; });
    runs_[d] = {from, to};
    total_ += static_cast<uint64_t>(to - from);
  }
}

Best CandidateLookup::Search(const uint8_t* original, std::vector<uint32_t>& scratch) const {
  ScanState s{original, originalSize_, probe_, probeLeft_, {floor_, 0}};
  const uint32_t need = floor_ + 1;
  scratch.clear();
  for (uint32_t d = 0; d < steps_; ++d) {
    for (const uint32_t* it = runs_[d].from; it != runs_[d].to; ++it) {
      const uint32_t j = *it - d;
      if (std::memcmp(original + j, probe_, need) == 0) scratch.push_back(j);
    }
  }
  // Each candidate comes from one sample offset only; sorting restores the
  // order in which the scan meets them.
  std::sort(scratch.begin(), scratch.end());

  uint64_t next = start_;
  for (const uint32_t c : scratch) {
    if (c < next) continue;
    next = FirstVisitedFrom(s, next, c, floor_);
    if (next != c) continue;
    const uint32_t max = static_cast<uint32_t>(std::min<uint64_t>(probeLeft_, originalSize_ - c));
    const uint32_t len = need + CommonPrefix(original + c + need, probe_ + need, max - need);
    if (len > s.best.length) s.best = {len, c};
    next = uint64_t{c} + len + 1;
  }
  return s.best;
}

}  // namespace tarvo
