#include "ThoroughMatcher.h"

#include <vector>

#include "CheapestParse.h"
#include "Format.h"
#include "GramFilter.h"
#include "MatchScan.h"
#include "SuffixIndex.h"

namespace tarvo {

bool RunThoroughMatcher(const uint8_t* original, uint32_t originalSize, const uint8_t* modified,
                        uint32_t modifiedSize, MatcherSink& sink) {
  if (modifiedSize == 0) return true;
  const FieldWidths widths = WidthsFor(originalSize, modifiedSize);
  const uint32_t longestUncopyable = 2 * (widths.offset + widths.copyLength) + 5;
  std::vector<MatchSpan> spans;
  if (originalSize > longestUncopyable) {
    const SuffixIndex index(original, originalSize);
    const GramFilter filter(original, originalSize, longestUncopyable + 1);
    // Sorting the original takes a while and cannot stop half way; a host
    // that cancelled meanwhile hears back now.
    if (sink.Checkpoint(0, modifiedSize)) return false;
    if (!ScanMatches(index, filter, modified, modifiedSize, longestUncopyable, sink, spans)) return false;
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
