// Finds the stretches of the modified file that the original holds, for the
// parse to choose from. The index files every few positions of the original
// (a fraction of a byte per byte, built in one pass) rather than sorting all
// of them: a suffix array took four bytes per byte and a sort that grows
// faster than the file, and wrote no smaller files.
#pragma once

#include <cstdint>
#include <vector>

#include "CandidateIndex.h"
#include "Matcher.h"

namespace tarvo {

// modified[start, end) equals original[offset, offset + end - start), and so
// does every part of it at the same shift.
struct MatchSpan {
  uint32_t start;
  uint32_t end;
  uint32_t offset;
};

// The index must file every SampleStepFor(minLength)-th position, with tags: any
// string longer than minLength then holds a filed position with its eight
// bytes. Spans come in order of discovery: starts increase except where a
// span reaches back into the one before it. Only spans longer than
// minLength are kept. Returns false when the sink cancelled at a checkpoint.
bool ScanMatches(const CandidateIndex& index, const uint8_t* original, uint32_t originalSize, const uint8_t* modified,
                 uint32_t modifiedSize, uint32_t minLength, MatcherSink& sink, std::vector<MatchSpan>& spans);

constexpr uint32_t SampleStepFor(uint32_t minLength) { return minLength + 1 - (CandidateIndex::kGram - 1); }

}  // namespace tarvo
