#include "ThoroughMatcher.h"

#include <cstring>
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
    if (!ScanMatches(index, filter, modified, modifiedSize, longestUncopyable, sink, spans)) return false;
  }
  const std::vector<ParsedRecord> records = CheapestParse(std::move(spans), modifiedSize, widths);

  // Where the same bytes also lie just after the previous copy's source
  // (after skipping what an insert replaced), take them from there: such
  // offsets follow from the one before and repeat in the compressed stream.
  uint64_t followOn = ~uint64_t{0};
  for (const ParsedRecord& r : records) {
    if (!r.copy) {
      sink.Insert(modified + r.start, r.length);
      if (followOn != ~uint64_t{0}) followOn += r.length;
      continue;
    }
    uint32_t offset = r.offset;
    if (followOn != ~uint64_t{0} && followOn != offset && followOn + r.length <= originalSize &&
        std::memcmp(original + followOn, modified + r.start, r.length) == 0) {
      offset = static_cast<uint32_t>(followOn);
    }
    sink.Copy(offset, r.length);
    followOn = uint64_t{offset} + r.length;
  }
  return true;
}

}  // namespace tarvo
