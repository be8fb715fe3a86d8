// The matcher's search over a range of start positions, walking only the
// positions the candidate index names instead of every byte of the range.
// It finds exactly what the direct scan (SearchScan.h) finds.
#pragma once

#include <cstdint>
#include <vector>

#include "CandidateIndex.h"
#include "SearchScan.h"

namespace tarvo {

// The index's positions that may start a match longer than `floor` inside
// [start, end), found and not yet checked: for each sample offset d, a run of
// one bucket. The sum of their lengths is what walking them costs.
class CandidateLookup {
 public:
  CandidateLookup(const CandidateIndex& index, uint32_t originalSize, const uint8_t* probe,
                  uint32_t probeLeft, uint64_t start, uint64_t end, uint32_t floor);

  // The longest sample step a lookup handles (minimum matches are 21 bytes
  // at most, giving 15).
  static constexpr uint32_t kMaxSteps = 32;

  uint64_t Positions() const { return total_; }

  // Best match over [start, end) as the direct scan would find it; `found`
  // is working memory kept between searches.
  Best Search(const uint8_t* original, std::vector<uint32_t>& found) const;

 private:
  struct Run {
    const uint32_t* from;
    const uint32_t* to;
  };
  uint32_t originalSize_;
  const uint8_t* probe_;
  uint32_t probeLeft_;
  uint64_t start_;
  uint64_t end_;  // starts at or past it cannot hold floor + 1 bytes
  uint32_t floor_;
  uint32_t steps_ = 0;  // zero when no match longer than floor is possible
  Run runs_[kMaxSteps];
  uint64_t total_ = 0;
};

}  // namespace tarvo
