#include "ThoroughMatcher.h"

#include <memory>
#include <new>
#include <vector>

#include "CandidateIndex.h"
#include "CheapestParse.h"
#include "Format.h"
#include "MatchScan.h"

namespace tarvo {

bool RunThoroughMatcher(const uint8_t* original, uint32_t originalSize, const uint8_t* modified,
                        uint32_t modifiedSize, MatcherSink& sink) {
  if (modifiedSize == 0) return true;
  const FieldWidths widths = WidthsFor(originalSize, modifiedSize);
  const uint32_t longestUncopyable = LongestUncopyable(widths);
  std::vector<MatchSpan> spans;
  if (originalSize > longestUncopyable) {
    // The index is freed before the parse, which needs only the spans.
    const std::unique_ptr<CandidateIndex> index =
        CandidateIndex::Build(original, originalSize, SampleStepFor(longestUncopyable), true);
    if (!index) throw std::bad_alloc();
    // Indexing a large original takes a moment and cannot stop half way; a
    // host that cancelled meanwhile hears back now.
    if (sink.Checkpoint(0, modifiedSize)) return false;
    if (!ScanMatches(*index, original, originalSize, modified, modifiedSize, longestUncopyable, sink, spans)) {
      return false;
    }
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
