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
// visits every sync position from `next` on: the last position it visits
// before p cannot pass over p, so it lands on p. From the nearest sync position at or before
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

// The first entry of [from, to) at or above `value`, found by galloping:
// skips are usually short, but past a long match they can be very long.
const uint32_t* SkipBelow(const uint32_t* from, const uint32_t* to, uint64_t value) {
  uint64_t step = 1;
  while (static_cast<uint64_t>(to - from) > step && from[step] < value) {
    from += step;
    step *= 2;
  }
  return std::lower_bound(from, std::min(to, from + step + 1), value,
                          [](uint32_t a, uint64_t b) { return a < b; });
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
  // Each bucket costs two dependent cache misses, its head and its
  // positions; fetching all heads, then all positions, overlaps them.
  for (uint32_t d = 0; d < steps_; ++d) index.Prefetch(probe + d);
  std::span<const uint32_t> buckets[kMaxSteps];
  for (uint32_t d = 0; d < steps_; ++d) {
    buckets[d] = index.Bucket(probe + d);
    __builtin_prefetch(buckets[d].data());
  }
  for (uint32_t d = 0; d < steps_; ++d) {
    const auto bucket = buckets[d];
    const uint32_t* from = std::lower_bound(bucket.data(), bucket.data() + bucket.size(), start_ + d,
                                            [](uint32_t a, uint64_t b) { return a < b; });
    const uint32_t* to = std::lower_bound(from, bucket.data() + bucket.size(), end_ + d,
                                          [](uint32_t a, uint64_t b) { return a < b; });
    runs_[d] = {from, to};
    total_ += static_cast<uint64_t>(to - from);
  }
}

Best CandidateLookup::Search(const uint8_t* original, std::vector<uint32_t>& found) const {
  ScanState s{original, originalSize_, probe_, probeLeft_, {floor_, 0}};
  if (steps_ == 0) return s.best;
  const uint32_t need = floor_ + 1;  // at least kGram: the index exists only then
  const uint32_t rest = need - CandidateIndex::kGram;
  uint64_t firstGram;
  std::memcpy(&firstGram, probe_, sizeof firstGram);

  // Keep the positions whose first floor + 1 bytes are the probe's, each
  // run's in increasing order.
  found.clear();
  uint64_t bounds[kMaxSteps + 1];
  bounds[0] = 0;
  for (uint32_t d = 0; d < steps_; ++d) {
    for (const uint32_t* it = runs_[d].from; it != runs_[d].to; ++it) {
      const uint32_t j = *it - d;
      uint64_t gram;
      std::memcpy(&gram, original + j, sizeof gram);
      if (gram == firstGram && CommonPrefix(original + j + sizeof gram, probe_ + sizeof gram, rest) == rest) {
        found.push_back(j);
      }
    }
    bounds[d + 1] = found.size();
  }

  // Merge the runs lowest position first (each candidate comes from one
  // sample offset only), so that a long visited match passes over the
  // candidates it covers with one skip per run.
  const uint32_t* at[kMaxSteps];
  const uint32_t* to[kMaxSteps];
  uint32_t runs = 0;
  for (uint32_t d = 0; d < steps_; ++d) {
    if (bounds[d + 1] == bounds[d]) continue;
    at[runs] = found.data() + bounds[d];
    to[runs] = found.data() + bounds[d + 1];
    ++runs;
  }
  uint64_t next = start_;
  while (runs > 0) {
    uint32_t r = 0;
    for (uint32_t k = 1; k < runs; ++k) {
      if (*at[k] < *at[r]) r = k;
    }
    const uint64_t c = *at[r];
    if (c < next) {
      at[r] = SkipBelow(at[r], to[r], next);
    } else {
      ++at[r];
      next = FirstVisitedFrom(s, next, c, floor_);
      if (next == c) {
        const uint32_t max = static_cast<uint32_t>(std::min<uint64_t>(probeLeft_, originalSize_ - c));
        const uint32_t len = need + CommonPrefix(original + c + need, probe_ + need, max - need);
        if (len > s.best.length) s.best = {len, static_cast<uint32_t>(c)};
        next = c + len + 1;
      }
    }
    if (at[r] == to[r]) {
      --runs;
      at[r] = at[runs];
      to[r] = to[runs];
    }
  }
  return s.best;
}

}  // namespace tarvo
