#include "ThoroughMatcher.h"

#include <exception>
#include <optional>
#include <thread>
#include <vector>

#include "CheapestParse.h"
#include "Format.h"
#include "GramFilter.h"
#include "MatchScan.h"
#include "SuffixIndex.h"

namespace tarvo {

namespace {

// Below this a thread costs more than it saves.
constexpr uint32_t kBesideTheSort = 1u << 20;

}  // namespace

bool RunThoroughMatcher(const uint8_t* original, uint32_t originalSize, const uint8_t* modified,
                        uint32_t modifiedSize, MatcherSink& sink) {
  if (modifiedSize == 0) return true;
  const FieldWidths widths = WidthsFor(originalSize, modifiedSize);
  const uint32_t longestUncopyable = LongestUncopyable(widths);
  std::vector<MatchSpan> spans;
  if (originalSize > longestUncopyable) {
    // A large original's filter is built beside the sort: it depends on the
    // original alone, so whichever finishes first, both come out the same.
    std::optional<GramFilter> filter;
    std::exception_ptr filterFailed;
    auto buildFilter = [&] {
      try {
        filter.emplace(original, originalSize, longestUncopyable + 1);
      } catch (...) {
        filterFailed = std::current_exception();
      }
    };
    std::optional<SuffixIndex> sorted;
    if (originalSize >= kBesideTheSort) {
      std::thread filterBuilder(buildFilter);
      try {
        sorted.emplace(original, originalSize);
      } catch (...) {
        filterBuilder.join();
        throw;
      }
      filterBuilder.join();
    } else {
      buildFilter();
      sorted.emplace(original, originalSize);
    }
    if (filterFailed) std::rethrow_exception(filterFailed);
    const SuffixIndex& index = *sorted;
    // Sorting the original takes a while and cannot stop half way; a host
    // that cancelled meanwhile hears back now.
    if (sink.Checkpoint(0, modifiedSize)) return false;
    if (!ScanMatches(index, *filter, modified, modifiedSize, longestUncopyable, sink, spans)) return false;
  }
  const std::vector<ParsedRecord> records = CheapestParse(std::move(spans), modifiedSize, widths, DeflatedCosts(widths));

  for (const ParsedRecord& r : records) {
    if (r.copy) {
      sink.Copy(r.offset, r.length);
    } else {
      sink.Insert(modified + r.start, r.length);
    }
  }
  return true;
}

}  // namespace tarvo
