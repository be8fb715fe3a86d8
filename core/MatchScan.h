// Finds the stretches of the modified file that the original holds, each as
// long as the suffix index makes it, for the parse to choose from.
#pragma once

#include <cstdint>
#include <vector>

#include "GramFilter.h"
#include "Matcher.h"
#include "SuffixIndex.h"

namespace tarvo {

// modified[start, end) equals original[offset, offset + end - start), and so
// does every part of it at the same shift.
struct MatchSpan {
  uint32_t start;
  uint32_t end;
  uint32_t offset;
};

// Spans in order of discovery: starts increase except where a span reaches
// back into the one before it. Only spans longer than minLength are kept;
// the filter knows the original's strings of minLength + 1 bytes.
// Returns false when the sink cancelled at a checkpoint.
bool ScanMatches(const SuffixIndex& index, const GramFilter& filter, const uint8_t* modified, uint32_t modifiedSize,
                 uint32_t minLength, MatcherSink& sink, std::vector<MatchSpan>& spans);

}  // namespace tarvo
