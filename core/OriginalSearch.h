// The matcher's searches of the original, each done the cheaper of two
// exact ways: the direct scan of every start position in the range
// (SearchScan.h), or a walk of the positions the candidate index names
// (IndexedSearch.h). Both give the same best match.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "CandidateIndex.h"
#include "PairIndex.h"
#include "SearchScan.h"

namespace tarvo {

enum class SearchMode {
  kByCost,   // the cheaper way for each search
  kDirect,   // never build the index
  kIndexed,  // the index wherever it exists (tests)
};

class OriginalSearch {
 public:
  // `floor`: the minimum match; only longer matches count. The index is
  // built when `wantIndex` and the mode allow it and its memory can be had.
  OriginalSearch(const uint8_t* original, uint32_t size, uint32_t floor, bool wantIndex, SearchMode mode);

  Best Range(const uint8_t* probe, uint32_t probeLeft, uint64_t start, uint64_t end);
  Best Whole(const uint8_t* probe, uint32_t probeLeft);

  bool Indexed() const { return index_ != nullptr; }

 private:
  const uint8_t* original_;
  uint32_t size_;
  uint32_t floor_;
  SearchMode mode_;
  std::unique_ptr<CandidateIndex> index_;
  std::optional<PairIndex> pairs_;  // for direct searches of the whole original
  std::vector<uint32_t> found_;     // working memory of the indexed searches
};

}  // namespace tarvo
