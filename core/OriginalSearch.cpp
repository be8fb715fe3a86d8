#include "OriginalSearch.h"

#include <new>

#include "IndexedSearch.h"

namespace tarvo {
namespace {

// What an indexed search costs, in bytes of the direct scan. Measured by
// timing both ways on every search of the benchmark pairs (bench/README.md,
// "Choosing the search"): a bucket lookup costs a few cache misses, a filed
// position one more when the original is large; these values gave the
// lowest total on the executables and the script alike.
constexpr uint64_t kLookupCost = 256;   // per sample offset
constexpr uint64_t kPositionCost = 64;  // per filed position in the range

}  // namespace

OriginalSearch::OriginalSearch(const uint8_t* original, uint32_t size, uint32_t floor, bool wantIndex,
                               SearchMode mode)
    : original_(original), size_(size), floor_(floor), mode_(mode) {
  // Matches longer than floor must span sampleStep + kGram - 1 bytes.
  if (wantIndex && mode != SearchMode::kDirect && floor + 2 > CandidateIndex::kGram &&
      floor + 2 - CandidateIndex::kGram <= CandidateLookup::kMaxSteps) {
    index_ = CandidateIndex::Build(original, size, floor + 2 - CandidateIndex::kGram);
  }
}

Best OriginalSearch::Range(const uint8_t* probe, uint32_t probeLeft, uint64_t start, uint64_t end) {
  if (index_ && end > start) {
    const uint64_t length = std::min<uint64_t>(end, size_) - std::min<uint64_t>(start, size_);
    const uint64_t lookups = uint64_t{index_->SampleStep()} * kLookupCost;
    if (mode_ == SearchMode::kIndexed || length > lookups) {
      const CandidateLookup lookup(*index_, size_, probe, probeLeft, start, end, floor_);
      if (mode_ == SearchMode::kIndexed || lookups + lookup.Positions() * kPositionCost < length) {
        return lookup.Search(original_, found_);
      }
    }
  }
  return SearchRange(original_, size_, probe, probeLeft, start, end, floor_);
}

Best OriginalSearch::Whole(const uint8_t* probe, uint32_t probeLeft) {
  if (index_) return Range(probe, probeLeft, 0, size_);
  // Whole-original searches repeat through long literal runs; the pair index
  // pays for itself from the first one on.
  if (!pairs_) {
    try {
      pairs_.emplace(original_, size_);
    } catch (const std::bad_alloc&) {
      return SearchRange(original_, size_, probe, probeLeft, 0, size_, floor_);
    }
  }
  return SearchWhole(original_, size_, probe, probeLeft, floor_, *pairs_);
}

}  // namespace tarvo
